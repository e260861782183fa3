#include "platform/ProfileText.h"

#include "platform/Cp932.h"

namespace nc16::platform {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

size_t CharLength(std::string_view s, size_t i) {
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// One line of the text: [begin, end) is its content, `next` the start of the following line.
struct Line {
  size_t begin = 0;
  size_t end = 0;
  size_t next = 0;
};

Line LineAt(const std::string& text, size_t pos) {
  Line line{pos, pos, pos};
  while (line.end < text.size() && text[line.end] != '\r' && text[line.end] != '\n')
    ++line.end;
  line.next = line.end;
  if (line.next < text.size() && text[line.next] == '\r') ++line.next;
  if (line.next < text.size() && text[line.next] == '\n') ++line.next;
  return line;
}

// The section name of a header line, or nothing when the line is no header.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  std::optional<size_t> close;
  for (size_t i = 1; i < line.size(); i += CharLength(line, i))
    if (line[i] == ']') close = i;
  if (!close) return std::nullopt;
  return Trim(line.substr(1, *close - 1));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

std::optional<Entry> EntryOf(std::string_view line) {
  for (size_t i = 0; i < line.size(); i += CharLength(line, i))
    if (line[i] == '=') return Entry{Trim(line.substr(0, i)), Trim(line.substr(i + 1))};
  return std::nullopt;
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

// The position of the first line after the header of the section, or nothing.
std::optional<Line> FindSection(const std::string& text, std::string_view section) {
  for (size_t pos = 0; pos < text.size();) {
    Line line = LineAt(text, pos);
    auto name = SectionName(std::string_view(text).substr(line.begin, line.end - line.begin));
    if (name && ProfileNamesEqual(*name, section)) return line;
    pos = line.next;
  }
  return std::nullopt;
}

}  // namespace

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
  a = Trim(a);
  b = Trim(b);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    size_t n = CharLength(a, i);
    if (n == 2) {
      if (a.substr(i, 2) != b.substr(i, 2)) return false;
    } else if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
      return false;
    }
    i += n;
  }
  return true;
}

std::string_view CutCp932(std::string_view s, size_t max_bytes) {
  if (s.size() <= max_bytes) return s;
  size_t i = 0;
  while (i < s.size()) {
    size_t n = CharLength(s, i);
    if (i + n > max_bytes) break;
    i += n;
  }
  return s.substr(0, i);
}

bool ProfileText::HasSection(std::string_view section) const {
  return FindSection(content_, section).has_value();
}

std::optional<std::string> ProfileText::Get(std::string_view section, std::string_view key) const {
  auto header = FindSection(content_, section);
  if (!header) return std::nullopt;
  std::string_view text = content_;
  for (size_t pos = header->next; pos < text.size();) {
    Line line = LineAt(content_, pos);
    std::string_view body = text.substr(line.begin, line.end - line.begin);
    if (SectionName(body)) break;
    auto entry = EntryOf(body);
    if (entry && ProfileNamesEqual(entry->key, key)) return std::string(Unquote(entry->value));
    pos = line.next;
  }
  return std::nullopt;
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
  // A line break would end the value and start a line of its own; the profile functions would
  // read back only the first line anyway.
  value = value.substr(0, value.find_first_of("\r\n"));
  key = Trim(key);
  section = Trim(section);

  auto header = FindSection(content_, section);
  if (!header) {
    if (!content_.empty() && content_.back() != '\n' && content_.back() != '\r') content_ += "\r\n";
    // Appended piece by piece: no temporaries, and nothing for GCC 12's -Wrestrict to misread
    // in the inlined concatenation of a literal and a temporary string.
    content_.append("[").append(section).append("]\r\n");
    content_.append(key).append("=").append(value).append("\r\n");
    return;
  }

  std::string_view text = content_;
  Line last_filled = *header;
  for (size_t pos = header->next; pos < text.size();) {
    Line line = LineAt(content_, pos);
    std::string_view body = text.substr(line.begin, line.end - line.begin);
    if (SectionName(body)) break;
    auto entry = EntryOf(body);
    if (entry && ProfileNamesEqual(entry->key, key)) {
      std::string rewritten = std::string(entry->key) + "=" + std::string(value);
      content_.replace(line.begin, line.end - line.begin, rewritten);
      return;
    }
    if (!Trim(body).empty()) last_filled = line;
    pos = line.next;
  }

  std::string added = std::string(key) + "=" + std::string(value);
  if (last_filled.next == last_filled.end)  // the section's last line ends the text unbroken
    content_.insert(last_filled.end, "\r\n" + added);
  else
    content_.insert(last_filled.next, added + "\r\n");
}

}  // namespace nc16::platform
