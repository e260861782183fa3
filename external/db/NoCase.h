#pragma once
// Names the engine compares without regard to the case of ASCII letters (and the blanks
// around them): table files, field
// names, driver and parameter names, SQL keywords. Other bytes (CP932 among them) compare as
// they are.

#include <cstddef>
#include <string_view>

namespace nc16::db::detail {

constexpr char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

constexpr bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// A name or parameter value without the blanks around it.
constexpr std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ')
    s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ')
    s.remove_suffix(1);
  return s;
}

// Hash and equality for unordered containers keyed by such names, with look-up by string_view.
struct NoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const {
    size_t h = 0xcbf29ce484222325ULL;  // FNV-1a over the folded bytes
    for (char c : s)
      h = (h ^ static_cast<unsigned char>(LowerAscii(c))) * 0x100000001b3ULL;
    return h;
  }
};
struct NoCaseEq {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

}  // namespace nc16::db::detail
