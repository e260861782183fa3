#pragma once
// The text of a profile (ini) file, read and edited the way the Windows profile functions do it,
// for the systems that do not have them. Pure text work: no files.
//
// Reading: lines end at CR, LF or CR LF. A line whose first non-blank character is "[" starts a
// section named by the text up to the line's last "]" (a "]" that is the second byte of a
// double-byte character does not count). Inside a section, a line holding "=" is an entry: the
// key is the text before the first "=", the value the text after it, both without surrounding
// blanks; a value wrapped in one pair of matching quotes ('...' or "...") loses them. Other
// lines (comments, lines before the first section) are kept but never match. Section and key
// names match without regard to ASCII letter case; the first matching section and, in it, the
// first matching key count.
//
// Editing keeps every byte of the text that is not changed.

#include <optional>
#include <string>
#include <string_view>

namespace nc16::platform {

class ProfileText {
 public:
  explicit ProfileText(std::string content = {}) : content_(std::move(content)) {}

  bool HasSection(std::string_view section) const;
  // The value of the key, or nothing when the section or key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Sets a key: a present key's line is rewritten in place as key=value (the key spelled as in
  // the file); a new key goes after the last non-blank line of the section; a new section goes
  // to the end of the text. New lines end with CR LF. The value ends at its first line break.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  const std::string& Content() const { return content_; }

 private:
  std::string content_;
};

// Compares two names as the profile functions do: blanks around them ignored, ASCII letters
// without regard to case, double-byte characters byte for byte.
bool ProfileNamesEqual(std::string_view a, std::string_view b);

// Cuts a CP932 text to at most `max_bytes` bytes without splitting a double-byte character.
std::string_view CutCp932(std::string_view s, size_t max_bytes);

}  // namespace nc16::platform
