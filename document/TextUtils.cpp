#include "document/TextUtils.h"

#include <algorithm>

#include "platform/Cp932.h"

namespace nc16 {
namespace {

constexpr int kMaxBlanks = 510;
constexpr std::string_view kFullWidthBlank = "\x81\x40";

// Bytes of value 0x20 or below: the half-width blank and every control character.
std::string_view TrimControl(std::string_view s) {
  auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  while (!s.empty() && is_blank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back()))
    s.remove_suffix(1);
  return s;
}

// Where the last character of S starts, counting characters from its first byte (a lead byte
// and its trail byte are one character; a lead byte at the very end stands alone).
size_t LastCharStart(std::string_view s) {
  size_t start = 0;
  for (size_t pos = 0; pos < s.size();) {
    start = pos;
    pos += IsLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size() ? 2 : 1;
  }
  return start;
}

}  // namespace

std::string MakeBlanks(int count) {
  if (count <= 0 || count > kMaxBlanks) return {};
  return std::string(static_cast<size_t>(count), ' ');
}

std::string PadRightBytes(std::string_view s, int count) {
  size_t n = count > 0 ? static_cast<size_t>(count) : 0;
  if (s.size() < n) {
    std::string padded = std::string(s) + MakeBlanks(count);
    return padded.substr(0, n);
  }
  return std::string(s.substr(0, n));
}

std::string RightAlignBytes(std::string_view s, int count) {
  size_t n = count > 0 ? static_cast<size_t>(count) : 0;
  if (s.size() < n) {
    std::string blanks = MakeBlanks(count);
    size_t fill = std::min(blanks.size(), n - s.size());
    return blanks.substr(blanks.size() - fill) + std::string(s);
  }
  return std::string(s.substr(s.size() - n));
}

std::string RightPart(std::string_view s, int count) {
  if (count <= 0) return {};
  size_t n = static_cast<size_t>(count);
  if (n >= s.size()) return std::string(s);
  return std::string(s.substr(s.size() - n));
}

std::string TrimBlanks(std::string_view s) {
  std::string_view r = TrimControl(s);
  while (r.starts_with(kFullWidthBlank))
    r = TrimControl(r.substr(2));
  // A trailing 0x81 0x40 is a blank only when it is a character of its own: after a character
  // whose trail byte is 0x81, the bytes 0x81 0x40 are that trail byte and an "@".
  while (r.ends_with(kFullWidthBlank) && LastCharStart(r) == r.size() - 2) {
    r.remove_suffix(2);
    r = TrimControl(r);
  }
  return std::string(r);
}

std::string CopyWholeChars(std::string_view s, int from_byte, int to_byte) {
  if (from_byte > to_byte) return {};
  size_t first = std::string::npos;  // byte offset where the first character taken starts
  size_t end = 0;                    // byte offset just past the last character taken
  size_t pos = 0;
  while (pos < s.size()) {
    size_t len = IsLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size() ? 2 : 1;
    long char_end = static_cast<long>(pos + len);  // E(k), 1-based position of its last byte
    if (char_end > to_byte) break;
    if (first == std::string::npos && char_end >= from_byte) first = pos;
    if (first != std::string::npos) end = pos + len;
    pos += len;
  }
  if (first == std::string::npos) return {};
  return std::string(s.substr(first, end - first));
}

std::string PadRightWholeChars(std::string_view s, int count) {
  return PadRightBytes(CopyWholeChars(s, 1, count), count);
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

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  if (suffix.size() > s.size()) return false;
  auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  std::string_view tail = s.substr(s.size() - suffix.size());
  return std::equal(tail.begin(), tail.end(), suffix.begin(),
                    [&](char a, char b) { return upper(a) == upper(b); });
}

}  // namespace nc16
