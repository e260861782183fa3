#pragma once
// Texts of the system are code-page-932 (Shift_JIS) byte strings held in std::string: lengths,
// cuts and widths are counted in bytes. UTF-8 appears only at the edges (Qt, the terminal, file
// names); these functions convert between the two with iconv.

#include <optional>
#include <string>
#include <string_view>

namespace nc16 {

// CP932 bytes to UTF-8. A byte sequence that is not valid CP932 becomes U+FFFD, one per offending
// byte; the conversion never fails.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 to CP932. A character that CP932 cannot hold, or bytes that are not valid UTF-8, become
// "?"; the conversion never fails.
std::string Utf8ToCp932(std::string_view utf8);

// UTF-8 to CP932 only when every character has a CP932 form that reads back as the same
// character; nothing otherwise. For passwords, keys, paths and SQL, where a replaced character
// would silently change what the user gave.
inline std::optional<std::string> Utf8ToCp932Exact(std::string_view utf8) {
  std::string cp932 = Utf8ToCp932(utf8);
  if (Cp932ToUtf8(cp932) != utf8) return std::nullopt;
  return cp932;
}

// True when `s` is a sequence of whole CP932 characters that iconv can map.
bool IsValidCp932(std::string_view s);

// True when byte `b` starts a double-byte CP932 character.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace nc16

// A fixed Japanese text written readably (UTF-8) in the source and converted to CP932 once, on
// first use: SJ("エラー情報") is a `const std::string&` holding the CP932 bytes.
#define SJ(utf8_literal)                                                    \
  ([]() -> const std::string& {                                             \
    static const std::string converted = ::nc16::Utf8ToCp932(utf8_literal); \
    return converted;                                                       \
  }())

#include <filesystem>

namespace nc16 {

// A CP932 path of the system as the operating system names it (UTF-8 on POSIX), and back.
std::filesystem::path NativePath(std::string_view cp932);
std::string FromNativePath(const std::filesystem::path& path);

}  // namespace nc16
