#pragma once
// What the profile fuzzer does with one input, shared with the regression test that replays kept
// inputs in the normal build. The input is a profile text, then (each after a zero byte) a
// section name, a key and a value; missing parts are "S", "K" and "V". Every query and edit must
// end cleanly, and a value set under plain names must read back as it was set.

#include <optional>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "platform/ProfileText.h"

namespace nc16::platform::fuzz {

inline constexpr size_t kMaxInput = 64 * 1024;

// Next part of `rest` up to a zero byte (or its end), `fallback` when none is left.
inline std::string_view NextPart(std::string_view& rest, bool& more, std::string_view fallback) {
  if (!more) return fallback;
  const size_t zero = rest.find('\0');
  std::string_view part = rest.substr(0, zero);
  more = zero != std::string_view::npos;
  rest = more ? rest.substr(zero + 1) : std::string_view();
  return part;
}

// Letters, digits and inner blanks: a name no profile line can mistake for something else.
inline bool PlainName(std::string_view s) {
  if (s.empty() || s.front() == ' ' || s.back() == ' ') return false;
  for (char c : s)
    if (!(c == ' ' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
          (c >= 'a' && c <= 'z')))
      return false;
  return true;
}

// Printable ASCII without surrounding blanks or a leading quote: read back byte for byte.
inline bool PlainValue(std::string_view s) {
  if (!s.empty() && (s.front() == ' ' || s.back() == ' ' || s.front() == '"' || s.front() == '\''))
    return false;
  for (char c : s)
    if (c < ' ' || c > '~') return false;
  return true;
}

inline void RunInput(std::string_view data) {
  if (data.size() > kMaxInput) return;
  bool more = true;
  std::string_view rest = data;
  const std::string_view content = NextPart(rest, more, "");
  const std::string_view section = NextPart(rest, more, "S");
  const std::string_view key = NextPart(rest, more, "K");
  const std::string_view value = NextPart(rest, more, "V");

  ProfileText text{std::string(content)};
  (void)text.HasSection(section);
  (void)text.Get(section, key);
  nc16::fuzz::Require(ProfileNamesEqual(section, section), "a name equals itself");
  const std::string_view cut = CutCp932(content, key.size());
  nc16::fuzz::Require(cut.size() <= key.size() && content.starts_with(cut), "a cut is a prefix");

  text.Set(section, key, value);
  if (PlainName(section) && PlainName(key) && PlainValue(value)) {
    nc16::fuzz::Require(text.HasSection(section), "a section set is there");
    const std::optional<std::string> got = text.Get(section, key);
    nc16::fuzz::Require(got && *got == value, "a value set reads back");
  }
}

}  // namespace nc16::platform::fuzz
