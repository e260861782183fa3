#include "document/CrLfLines.h"

namespace nc16 {
namespace {

// The first CR or LF from `start`, or npos. One pass over the bytes: find_first_of would search
// its set of two once per byte.
size_t FindLineBreak(std::string_view s, size_t start) {
  for (size_t i = start; i < s.size(); ++i)
    if (s[i] == '\r' || s[i] == '\n') return i;
  return std::string_view::npos;
}

}  // namespace

void CrLfLines::Append(std::string& out, std::string_view piece) {
  if (piece.empty()) return;
  size_t start = 0;
  while (start < piece.size()) {
    size_t brk = FindLineBreak(piece, start);
    if (brk == std::string_view::npos) {
      out.append(piece.substr(start));
      after_cr_ = false;
      at_line_end_ = false;
      return;
    }
    if (brk > start) {
      out.append(piece.substr(start, brk - start));
      after_cr_ = false;
    }
    // The LF of a CR LF was given out with its CR.
    if (!(piece[brk] == '\n' && after_cr_)) out += "\r\n";
    after_cr_ = piece[brk] == '\r';
    at_line_end_ = true;
    start = brk + 1;
  }
}

void CrLfLines::Finish(std::string& out) {
  if (!at_line_end_) out += "\r\n";
  at_line_end_ = true;
  after_cr_ = false;
}

}  // namespace nc16
