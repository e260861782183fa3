#pragma once
// What the passwords-file fuzzer does with one input, shared with the regression test that
// replays kept inputs in the normal build. The input is the bytes of a passwords file of
// `nc16 export --all`, cut into lines as the file is read (at LF, a CR before it dropped). The
// parse either gives the passwords, each found again from the folder side by its key, or refuses
// the file with a message that names a line and says what is wrong with it, and nothing else: a
// message never holds a part of a password.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/flow/Batch.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Cp932.h"

namespace nc16::passwords::fuzz {

inline constexpr size_t kMaxInput = 64 * 1024;

inline std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  for (size_t begin = 0; begin < text.size();) {
    const size_t nl = std::min(text.find('\n', begin), text.size());
    lines.emplace_back(text.substr(begin, nl - begin));
    if (lines.back().ends_with('\r')) lines.back().pop_back();
    begin = nl + 1;
  }
  return lines;
}

// The message is one of the parser's own, for a line that exists; a key it names is the line's.
inline bool OnlyNamesTheLine(const std::string& what, const std::vector<std::string>& lines) {
  if (!what.starts_with("line ")) return false;
  size_t pos = 5, n = 0;
  while (pos < what.size() && what[pos] >= '0' && what[pos] <= '9' && n <= lines.size())
    n = n * 10 + static_cast<size_t>(what[pos++] - '0');
  if (n == 0 || n > lines.size() || what.compare(pos, 2, ": ") != 0) return false;
  const std::string_view said = std::string_view(what).substr(pos + 2);
  for (std::string_view fixed :
       {"holds a zero byte", "not KEY<TAB>password", "holds a character that Shift_JIS cannot hold",
        "is not UTF-8 text (the file must be saved as UTF-8, not Shift_JIS)"})
    if (said == fixed) return true;
  std::string_view line = lines[n - 1];
  if (n == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
  return said == "the key " + std::string(line.substr(0, line.find('\t'))) + " is given twice";
}

inline void RunInput(std::string_view data) {
  if (data.size() > kMaxInput) return;
  const std::vector<std::string> lines = Lines(data);
  ManagementPasswords passwords;
  try {
    passwords = ParseManagementPasswords(lines);
  } catch (const std::invalid_argument& e) {
    nc16::fuzz::Require(OnlyNamesTheLine(e.what(), lines), "a refusal names its line, no more");
    return;
  }
  nc16::fuzz::Require(passwords.size() <= lines.size(), "at most one password a line");
  for (const auto& [key, password] : passwords) {
    nc16::fuzz::Require(password.find('\0') == std::string::npos, "no zero byte in a password");
    nc16::fuzz::Require(IsValidCp932(password), "a password is CP932 text");
    // The folder whose name is this key, in whichever CP932 codes, looks it up by PasswordKey.
    const auto folder = Utf8ToCp932Exact(key);
    nc16::fuzz::Require(folder.has_value(), "a key is CP932 text");
    nc16::fuzz::Require(PasswordKey(*folder) == key, "a folder of the key's name finds it");
  }
}

}  // namespace nc16::passwords::fuzz
