#pragma once
// What the Holder fuzzer does with one input, shared with the regression test that replays kept
// inputs in the normal build. The input is a Holder cell of the data list (CP932 bytes, a path as
// the payroll product wrote it on Windows, or one of this system), mapped to a data folder under
// a small real common folder: DB/DAT001, DB/dat002, DB/表 (0x95 0x5C: its trail byte looks like a
// backslash), DB/Sub/DAT003 and the ambiguous pair DB/AMB, DB/amb. Properties:
// - the mapping either leaves the Holder as it is or names an existing folder inside the common
//   folder (never outside it, whatever "..", "." or separators the Holder holds) whose last
//   component is the Holder's, but for the case of ASCII letters;
// - the data set's key (the last component) holds no separator, and a passwords-file line of
//   that key, in UTF-8 as an editor saves it, is found by the key.

#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/flow/Batch.h"
#include "app/flow/HolderFolder.h"
#include "document/TextUtils.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Cp932.h"
#include "platform/OSError.h"
#include "platform/Platform.h"

namespace nc16::holder::fuzz {

inline constexpr size_t kMaxInput = 4096;

// The common folder (CP932), made once per process and removed at its end.
class CommonFolder {
 public:
  CommonFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "nc16-holder-XXXXXX").string();
    root_ = ::mkdtemp(tmpl.data());
    const std::filesystem::path common = root_ / "vantrel" / "MILVEKKYUYO";
    for (const char* sub : {"DB/DAT001", "DB/dat002", "DB/Sub/DAT003", "DB/AMB", "DB/amb"})
      std::filesystem::create_directories(common / sub);
    std::filesystem::create_directories(common / "DB" / NativePath("\x95\x5C"));
    path_ = FromNativePath(common);
  }
  ~CommonFolder() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  CommonFolder(const CommonFolder&) = delete;
  CommonFolder& operator=(const CommonFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::filesystem::path root_;
  std::string path_;
};

inline const std::string& Common() {
  static const CommonFolder folder;
  return folder.Path();
}

// True when a single-byte "/" or "\" is in `s` (a trail byte never counts).
inline bool HoldsSeparator(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size())
      ++i;
    else if (s[i] == '/' || s[i] == '\\')
      return true;
  }
  return false;
}

inline void RunInput(std::string_view data) {
  if (data.size() > kMaxInput) return;
  const std::string holder(data);
  const std::string& common = Common();
  std::string folder;
  try {
    folder = LocalHolderFolder(holder, common);
  } catch (const EOSError&) {
    folder = holder;  // an ambiguous name on the way keeps the Holder, as the data list does
  }
  if (folder != holder) {
    nc16::fuzz::Require(folder == common || folder.starts_with(common + "/"),
                        "a mapped folder is in the common one");
    nc16::fuzz::Require(platform::DirectoryExists(folder), "a mapped folder exists");
    namespace fs = std::filesystem;
    const fs::path inside =
        fs::canonical(NativePath(folder)).lexically_relative(fs::canonical(NativePath(common)));
    nc16::fuzz::Require(!inside.empty() && *inside.begin() != "..", "no way out of the common one");
    nc16::fuzz::Require(AsciiUpper(DataSetKey(folder)) == AsciiUpper(DataSetKey(holder)),
                        "the mapped folder is the one the Holder names");
  }
  const std::string shortened = ShortenedPath(folder, common);
  nc16::fuzz::Require(shortened == folder || shortened.starts_with('~'), "a shortened path");

  const std::string key = DataSetKey(folder);
  nc16::fuzz::Require(!HoldsSeparator(key), "a key is one component");
  if (key.empty() || !IsValidCp932(key)) return;
  const std::string utf8 = Cp932ToUtf8(key);
  if (!Utf8ToCp932Exact(utf8) ||
      utf8.find_first_of(std::string("\t\r\n\0", 4)) != std::string::npos ||
      utf8.starts_with('#') || utf8.find_first_not_of(" ") == std::string::npos)
    return;
  const ManagementPasswords passwords = ParseManagementPasswords({utf8 + "\tpw"});
  nc16::fuzz::Require(passwords.count(PasswordKey(key)) == 1, "the key's line is found by it");
}

}  // namespace nc16::holder::fuzz
