#pragma once
// Texts of Windows error codes for the messages of the OS layer.

#include <windows.h>

#include <string>

namespace nc16::platform::win32 {

// The system's text for an error code in CP932 (whatever the ANSI code page), without the
// trailing line break; "error <n>" when the system has no text.
inline std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message;
  if (n != 0 && text != nullptr) {
    const int size =
        ::WideCharToMultiByte(932, 0, text, static_cast<int>(n), nullptr, 0, "?", nullptr);
    message.assign(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
      ::WideCharToMultiByte(932, 0, text, static_cast<int>(n), message.data(), size, "?", nullptr);
  }
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  if (message.empty()) message = "error " + std::to_string(error);
  return message;
}

}  // namespace nc16::platform::win32
