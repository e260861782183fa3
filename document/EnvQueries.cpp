#include "document/ArgUtils.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

bool IsFolderDelimiter(char c) {
  // A drive's ":" ends the folder part too, but only where drives exist: ":" is an ordinary
  // file-name character on POSIX.
  return std::string_view(platform::kPathSeparator).front() == c ||
         (platform::kHasDriveLetters && c == ':');
}

// The folder part of a path with its closing delimiter ("C:\" of "C:\A.XML", "/" of
// "/out.xml"); empty for a bare name. A delimiter byte inside a double-byte character does not
// count.
std::string_view FolderPart(std::string_view path) {
  size_t end = 0;
  for (size_t i = 0; i < path.size();) {
    unsigned char b = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(b) && i + 1 < path.size()) {
      i += 2;
      continue;
    }
    if (IsFolderDelimiter(path[i])) end = i + 1;
    ++i;
  }
  return path.substr(0, end);
}

std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(b) && i + 1 < out.size())
      ++i;
    else if (b >= 'a' && b <= 'z')
      out[i] = static_cast<char>(b - 'a' + 'A');
  }
  return out;
}

}  // namespace

std::string GetWindowsDrive() {
  std::string folder = platform::SystemFolder();
  if (folder.empty()) return {};
  if (!platform::kHasDriveLetters) return std::string(platform::kPathSeparator);
  return folder.substr(0, 1) + ":";
}

bool IsSystemDriveRoot(std::string_view path) {
  std::string root = GetWindowsDrive();
  if (root.empty()) return false;
  // The POSIX drive "/" is its own root folder; "C:" needs the separator added.
  if (!root.ends_with(platform::kPathSeparator)) root += platform::kPathSeparator;
  return AsciiUpper(root) == AsciiUpper(FolderPart(path));
}

std::string GetPcName() {
  return platform::ComputerName();
}

}  // namespace nc16
