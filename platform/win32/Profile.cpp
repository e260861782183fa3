#include <windows.h>

#include <vector>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Error.h"

namespace nc16::platform {

std::string ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                              std::string_view default_value, size_t max_chars) {
  std::string f(file);
  std::string s(section);
  std::string k(key);
  std::string d(default_value);
  std::vector<char> buf(max_chars + 1);
  DWORD n = ::GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), buf.data(),
                                       static_cast<DWORD>(buf.size()), f.c_str());
  return std::string(buf.data(), n);
}

void WriteProfileStrings(std::string_view file, std::string_view section,
                         std::span<const ProfileEntry> entries) {
  std::string f(file);
  std::string s(section);
  for (const ProfileEntry& entry : entries) {
    // A line break would end the value and start a line of its own in the file.
    std::string value = entry.Value.substr(0, entry.Value.find_first_of("\r\n"));
    if (!::WritePrivateProfileStringA(s.c_str(), entry.Key.c_str(), value.c_str(), f.c_str()))
      throw EOSError(Utf8ToCp932("ファイル ") + f + Utf8ToCp932(" に書き込めません: ") +
                     win32::SystemMessage(::GetLastError()));
  }
}

void WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value) {
  ProfileEntry entry{std::string(key), std::string(value)};
  WriteProfileStrings(file, section, std::span<const ProfileEntry>(&entry, 1));
}

}  // namespace nc16::platform
