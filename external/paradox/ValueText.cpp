#include "external/paradox/ValueText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace nc16::px {

namespace {

void Append2(std::string& out, int v) {
  out.push_back(static_cast<char>('0' + v / 10 % 10));
  out.push_back(static_cast<char>('0' + v % 10));
}

void AppendDate(std::string& out, int32_t days) {
  int y, m, d;
  CivilFromDays(days, y, m, d);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-", y);
  out += buf;
  Append2(out, m);
  out.push_back('-');
  Append2(out, d);
}

void AppendTime(std::string& out, int64_t ms) {
  if (ms < 0) {
    out.push_back('-');
    ms = -ms;
  }
  Append2(out, static_cast<int>(ms / 3600000 % 100));
  out.push_back(':');
  Append2(out, static_cast<int>(ms / 60000 % 60));
  out.push_back(':');
  Append2(out, static_cast<int>(ms / 1000 % 60));
  out.push_back('.');
  char buf[16];
  std::snprintf(buf, sizeof buf, "%03d", static_cast<int>(ms % 1000));
  out += buf;
}

}  // namespace

// Day 1 is 1 January of year 1; the algorithm counts from 1 March of year 0.
void CivilFromDays(int32_t days, int& year, int& month, int& day) {
  int64_t z = static_cast<int64_t>(days) + 305;  // days since 0000-03-01
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

int32_t DaysFromCivil(int year, int month, int day) {
  const int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<int32_t>(era * 146097 + doe - 305);
}

void AppendEscaped(std::string& out, std::string_view s) {
  for (char c : s) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        // Every other control character, so that no text reaches a terminal as an escape
        // sequence (a name holding ESC [ 2 J would clear the screen).
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          static const char kHex[] = "0123456789abcdef";
          out += "\\x";
          out.push_back(kHex[static_cast<unsigned char>(c) >> 4]);
          out.push_back(kHex[c & 15]);
        } else {
          out.push_back(c);
        }
    }
  }
}

std::string FormatValueForDump(const Value& value, FieldType type, const TextDecoder& decoder) {
  std::string out;
  if (std::holds_alternative<std::monostate>(value)) return "\\N";
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (type == FieldType::Alpha || type == FieldType::Memo || type == FieldType::FmtMemo) {
      AppendEscaped(out, decoder.ToUtf8(*s));
    } else {
      static const char kHex[] = "0123456789abcdef";
      out.reserve(s->size() * 2);
      for (unsigned char c : *s) {
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 15]);
      }
    }
    return out;
  }
  if (const auto* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
  if (const auto* b = std::get_if<bool>(&value)) return *b ? "true" : "false";
  if (const auto* d = std::get_if<double>(&value)) {
    char buf[400];
    // The shortest fixed-point text that reads back to the same double.
    auto r = std::to_chars(buf, buf + sizeof buf, *d, std::chars_format::fixed);
    return std::string(buf, r.ptr);
  }
  if (const auto* date = std::get_if<Date>(&value)) {
    AppendDate(out, date->days);
    return out;
  }
  if (const auto* t = std::get_if<Time>(&value)) {
    AppendTime(out, t->ms);
    return out;
  }
  if (const auto* ts = std::get_if<Timestamp>(&value)) {
    // Beyond any calendar Paradox knows (years 1 to 9999 span 3.2e14 ms) the stored number is
    // shown as it is rather than pushed through date arithmetic that would overflow.
    if (!(std::fabs(ts->ms) < 1e16)) {
      char buf[400];
      auto r = std::to_chars(buf, buf + sizeof buf, ts->ms, std::chars_format::fixed);
      return std::string(buf, r.ptr);
    }
    const auto total = static_cast<int64_t>(std::llround(ts->ms));
    const int64_t day_ms = 86400000;
    int64_t days = total / day_ms;
    if (total % day_ms < 0) --days;  // floor: a time of day is never negative
    AppendDate(out, static_cast<int32_t>(days));
    out.push_back(' ');
    AppendTime(out, total - days * day_ms);
    return out;
  }
  if (const auto* dec = std::get_if<Decimal>(&value)) return dec->text;
  return "\\N";
}

}  // namespace nc16::px
