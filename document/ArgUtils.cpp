#include "document/ArgUtils.h"

#include <vector>

#include "platform/Cp932.h"

namespace nc16 {

std::string GetField(std::string_view s, std::string_view separator, int index) {
  if (index < 1) return {};
  // Replace the separator by a line break, never matching from the second byte of a double-byte
  // character, then split into lines at CR, LF or CR LF.
  std::vector<std::string> lines(1);
  size_t i = 0;
  while (i < s.size()) {
    if (!separator.empty() && s.substr(i).starts_with(separator)) {
      lines.emplace_back();
      i += separator.size();
      continue;
    }
    char c = s[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back();
      i += (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    size_t len = IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < s.size() ? 2 : 1;
    lines.back().append(s.substr(i, len));
    i += len;
  }
  // A line break at the very end does not start another line.
  if (lines.size() > 1 && lines.back().empty() && !s.empty()) {
    bool ended_by_break =
        s.back() == '\r' || s.back() == '\n' || (!separator.empty() && s.ends_with(separator));
    if (ended_by_break) lines.pop_back();
  }
  if (s.empty()) return {};
  if (static_cast<size_t>(index) > lines.size()) return {};
  return lines[static_cast<size_t>(index) - 1];
}

}  // namespace nc16
