// Profile files on Windows, with the same reader and writer as on every other system (not
// GetPrivateProfileString, whose narrow form reads paths and contents in the ANSI code page):
// files named by wide paths, a write replacing the file atomically.
#include <windows.h>

#include <string>

#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "platform/ProfileText.h"
#include "platform/win32/Win32Error.h"

namespace nc16::platform {

namespace {

std::string_view TrimTrailingBlanks(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}

// The bytes of the file, or nothing with `error` set to the system's error code.
std::optional<std::string> ReadWholeFile(std::string_view cp932, DWORD& error) {
  HANDLE h = ::CreateFileW(NativePath(cp932).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error = ::GetLastError();
    return std::nullopt;
  }
  std::string data;
  char buf[16384];
  DWORD n = 0;
  bool ok = true;
  while ((ok = ::ReadFile(h, buf, sizeof buf, &n, nullptr) != 0) && n > 0)
    data.append(buf, n);
  if (!ok) error = ::GetLastError();
  ::CloseHandle(h);
  if (!ok) return std::nullopt;
  return data;
}

}  // namespace

std::string ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                              std::string_view default_value, size_t max_chars) {
  std::optional<std::string> value;
  DWORD error = 0;
  if (auto content = ReadWholeFile(file, error))
    value = ProfileText(std::move(*content)).Get(section, key);
  if (!value) return std::string(CutCp932(TrimTrailingBlanks(default_value), max_chars));
  return std::string(CutCp932(*value, max_chars));
}

void WriteProfileStrings(std::string_view file, std::string_view section,
                         std::span<const ProfileEntry> entries) {
  DWORD error = 0;
  auto content = ReadWholeFile(file, error);
  if (!content && error != ERROR_FILE_NOT_FOUND)
    throw EOSError(Utf8ToCp932("ファイル ") + std::string(file) +
                   Utf8ToCp932(" を読み込めません: ") + win32::SystemMessage(error));
  ProfileText text(content ? std::move(*content) : std::string());
  for (const ProfileEntry& entry : entries)
    text.Set(section, entry.Key, entry.Value);
  WriteFileAtomic(NativePath(file), text.Content());
}

void WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value) {
  ProfileEntry entry{std::string(key), std::string(value)};
  WriteProfileStrings(file, section, std::span<const ProfileEntry>(&entry, 1));
}

}  // namespace nc16::platform
