#pragma once
// Texts of Windows error codes for the messages of the OS layer.

#include <windows.h>

#include <string>

namespace nc16::platform::win32 {

// The system's text for an error code, in the ANSI code page (CP932 on the systems the program
// is made for), without the trailing line break; "error <n>" when the system has no text.
inline std::string SystemMessage(DWORD error) {
  char* text = nullptr;
  DWORD n = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message =
      n != 0 && text != nullptr ? std::string(text, n) : "error " + std::to_string(error);
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message;
}

}  // namespace nc16::platform::win32
