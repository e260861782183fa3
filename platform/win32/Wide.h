#pragma once
// CP932 and UTF-16 for the wide (W) functions of Windows, exactly: a character that has no form
// on the other side is refused, never replaced, so that no call ever names another file, key or
// mutex than the one meant.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace nc16::platform::win32 {

// CP932 to UTF-16; nothing when a byte sequence is not CP932.
inline std::optional<std::wstring> WideFromCp932(std::string_view cp932) {
  if (cp932.empty()) return std::wstring();
  const int n = ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cp932.data(),
                                      static_cast<int>(cp932.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cp932.data(), static_cast<int>(cp932.size()),
                        out.data(), n);
  return out;
}

// UTF-16 to CP932; nothing when a character has no CP932 form (a "best fit" look-alike counts as
// none).
inline std::optional<std::string> Cp932FromWide(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  BOOL lossy = FALSE;
  const int n = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0, nullptr, &lossy);
  if (n <= 0 || lossy) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        out.data(), n, nullptr, nullptr);
  return out;
}

// A CP932 text for a W function; an empty text (which names nothing) when it is not CP932.
inline std::wstring Wide(std::string_view cp932) {
  return WideFromCp932(cp932).value_or(std::wstring());
}

// The environment variable as CP932: nothing when unset or not expressible in CP932. Read from
// the process's environment, in UTF-16: the C runtime's copy holds no variable set to the empty
// text (its _putenv removes such a variable) and may have passed through the ANSI code page.
inline std::optional<std::string> EnvCp932(const wchar_t* name) {
  std::wstring value(64, L'\0');
  while (true) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD n = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (n == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    if (n < value.size()) {
      value.resize(n);
      return Cp932FromWide(value);
    }
    value.resize(n);  // n counts the terminator when the buffer was too small
  }
}

// The environment variable, or `fallback` when it is unset or empty.
inline std::optional<std::string> EnvCp932Or(const wchar_t* name,
                                             std::optional<std::string> fallback) {
  auto v = EnvCp932(name);
  return v && !v->empty() ? v : fallback;
}

}  // namespace nc16::platform::win32
