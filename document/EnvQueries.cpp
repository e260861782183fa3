#include "document/ArgUtils.h"
#include "document/TextUtils.h"
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

}  // namespace

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
