// Asking for a secret on the console with echo off.

#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "platform/SecretFile.h"

namespace nc16::platform {

std::optional<std::string> AskSecret(std::string_view prompt) {
  HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (in == INVALID_HANDLE_VALUE || !::GetConsoleMode(in, &mode)) return std::nullopt;
  std::fwrite(prompt.data(), 1, prompt.size(), stderr);
  std::fflush(stderr);
  ::SetConsoleMode(in, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
  wchar_t buf[1024];
  DWORD got = 0;
  const BOOL ok = ::ReadConsoleW(in, buf, static_cast<DWORD>(std::size(buf)), &got, nullptr);
  ::SetConsoleMode(in, mode);
  std::fputs("\n", stderr);
  if (!ok) return std::string();
  std::wstring line(buf, got);
  while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r'))
    line.pop_back();
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), n,
                        nullptr, nullptr);
  return utf8;
}

}  // namespace nc16::platform
