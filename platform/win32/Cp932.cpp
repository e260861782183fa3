// CP932 conversions on Windows: the system's own code page 932 tables, through UTF-16.

#include "platform/Cp932.h"

#include <windows.h>

#include <string>

#include "platform/OSError.h"
#include "platform/win32/Wide.h"

namespace nc16 {
namespace {

constexpr UINT kCp932 = 932;
constexpr wchar_t kReplacement = 0xFFFD;

// One CP932 character (one or two bytes) to UTF-16; false when it is not valid CP932.
bool OneCharToWide(std::string_view c, std::wstring& out) {
  wchar_t w[2];
  int n =
      MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, c.data(), static_cast<int>(c.size()), w, 2);
  if (n <= 0) return false;
  out.append(w, static_cast<size_t>(n));
  return true;
}

// CP932 to UTF-16. An invalid byte becomes U+FFFD on its own, so its neighbours survive.
std::wstring WideFromCp932(std::string_view s, bool* clean = nullptr) {
  std::wstring out;
  if (s.empty()) return out;
  int n = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()),
                              nullptr, 0);
  if (n > 0) {
    out.resize(static_cast<size_t>(n));
    MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()),
                        out.data(), n);
    if (clean) *clean = true;
    return out;
  }
  // Some byte is not CP932: go character by character.
  if (clean) *clean = false;
  for (size_t i = 0; i < s.size();) {
    size_t len = IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    if (OneCharToWide(s.substr(i, len), out)) {
      i += len;
    } else {
      out += kReplacement;
      ++i;
    }
  }
  return out;
}

// UTF-16 to a code page; characters it cannot hold become "?" (CP932) or U+FFFD (UTF-8). A
// character beyond the BMP (a surrogate pair) is one character and becomes one "?".
std::string Narrow(UINT code_page, std::wstring_view in) {
  if (in.empty()) return {};
  std::wstring paired;
  if (code_page != CP_UTF8) {
    for (size_t i = 0; i < in.size(); ++i) {
      const bool pair =
          IS_HIGH_SURROGATE(in[i]) && i + 1 < in.size() && IS_LOW_SURROGATE(in[i + 1]);
      paired += pair ? L'?' : in[i];
      if (pair) ++i;
    }
    in = paired;
  }
  std::wstring_view w = in;
  const char* fallback = code_page == CP_UTF8 ? nullptr : "?";
  int n = WideCharToMultiByte(code_page, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              fallback, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(code_page, 0, w.data(), static_cast<int>(w.size()), out.data(), n, fallback,
                        nullptr);
  return out;
}

// UTF-8 to UTF-16; invalid sequences become U+FFFD (the system's behaviour since Vista).
std::wstring WideFromUtf8(std::string_view s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  return Narrow(CP_UTF8, WideFromCp932(cp932));
}

std::string Utf8ToCp932(std::string_view utf8) {
  return Narrow(kCp932, WideFromUtf8(utf8));
}

bool IsValidCp932(std::string_view s) {
  bool clean = true;
  WideFromCp932(s, &clean);
  return clean;
}

// Paths convert exactly or not at all: a replaced character would name another file.
std::filesystem::path NativePath(std::string_view cp932) {
  auto wide = platform::win32::WideFromCp932(cp932);
  if (!wide)
    throw EOSError(Narrow(kCp932, WideFromCp932(cp932)) +
                   Utf8ToCp932(" はファイル名として使えない文字を含みます"));
  return std::filesystem::path(std::move(*wide));
}

std::string FromNativePath(const std::filesystem::path& path) {
  auto cp932 = platform::win32::Cp932FromWide(path.native());
  if (!cp932)
    throw EOSError(Narrow(kCp932, path.native()) +
                   Utf8ToCp932(" は CP932 で表せない文字を含むので扱えません"));
  return std::move(*cp932);
}

}  // namespace nc16
