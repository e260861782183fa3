#pragma once
// Text forms of field values for dumps (nc16 pxdump and SQL result dumps): one line per record,
// tab-separated UTF-8, blank as \N.

#include <string>
#include <string_view>

#include "external/paradox/ParadoxTable.h"

namespace nc16::px {

// Converts text in one code page to UTF-8 (iconv; on Windows the system's code pages); bytes it
// cannot convert become U+FFFD.
class TextDecoder {
 public:
  // 932 -> CP932, 936 -> GBK, 1252 -> CP1252, 437 -> CP437 ...; 0 means 437 (Paradox 3 tables
  // record no code page). An unknown code page falls back to treating bytes as Latin-1.
  explicit TextDecoder(int code_page);
  ~TextDecoder();
  TextDecoder(const TextDecoder&) = delete;
  TextDecoder& operator=(const TextDecoder&) = delete;
  std::string ToUtf8(std::string_view bytes) const;

 private:
  void* cd_;  // iconv_t; on Windows the code page number
};

// Escapes tab, CR, LF and backslash as \t, \r, \n, \\, and every other control character
// (below 0x20, and 0x7F) as \xNN: one field of tab-separated output, safe on a terminal.
void AppendEscaped(std::string& out, std::string_view utf8);

// The dump form of one value of a field of type `type` (the field's `size` gives BCD decimals):
//   blank -> \N; Alpha, Memo, FmtMemo -> text decoded to UTF-8 and escaped;
//   Short/Long/AutoInc -> decimal; Number/Money -> shortest decimal that reads back (3, 0.1,
//   100000); BCD -> decimal text; Date YYYY-MM-DD; Time HH:MM:SS.mmm;
//   Timestamp YYYY-MM-DD HH:MM:SS.mmm; Logical true/false; Blob/Ole/Graphic/Bytes lowercase hex.
std::string FormatValueForDump(const Value& value, FieldType type, const TextDecoder& decoder);

// Helpers for the date forms: a Date's days as year, month, day (proleptic Gregorian).
void CivilFromDays(int32_t days, int& year, int& month, int& day);
int32_t DaysFromCivil(int year, int month, int day);

}  // namespace nc16::px
