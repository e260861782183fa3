#include "external/db/FieldValue.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "external/db/Messages.h"
#include "external/db/NoCase.h"
#include "external/paradox/ValueText.h"
#include "platform/Cp932.h"

namespace nc16::db {

Currency Currency::FromDouble(double v) {
  if (auto fast = detail::UnitsOfDouble(v)) return Currency{*fast};
  int64_t units = 0;
  // The double's own 15 significant digits are the amount it stands for: 1.00005 is a half.
  if (!std::isfinite(v) || !detail::ParseCurrency(detail::FormatFloat(v), units)) {
    throw EDatabaseError(SJ("金額が範囲外です。"));
  }
  return Currency{units};
}

}  // namespace nc16::db

namespace nc16::db::detail {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}

bool ParseInt64(std::string_view s, int64_t& out) {
  s = Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size() && !s.empty();
}

bool ParseDouble(std::string_view s, double& out) {
  s = Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size() && !s.empty();
}

int32_t ToInt32(double v, const FieldRead& f) {
  const double r = RoundHalfAway(v);
  if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max())) {
    throw EDatabaseError(MsgBadValue(f.name, FormatFloat(v), SJ("整数")));
  }
  return static_cast<int32_t>(r);
}

}  // namespace

std::optional<int64_t> UnitsOfDouble(double v) {
  // Below 1e10 the double's 15 significant digits hold at least five decimals, so rounding the
  // scaled value directly gives what rounding its decimal text gives, unless the value lies next
  // to a half unit: those (and anything larger) take the exact path through the text.
  if (!(std::fabs(v) < 1e10)) return std::nullopt;
  const double x = v * 10000.0;
  const double frac = std::fabs(x - std::trunc(x));
  if (std::fabs(frac - 0.5) < 0.06) return std::nullopt;
  return static_cast<int64_t>(std::llround(x));
}

double RoundHalfAway(double v) {
  return std::round(v);
}

std::string FormatFloat(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  std::string s = buf;
  if (s == "-0") s = "0";
  return s;
}

bool ParseCurrency(std::string_view text, int64_t& units) {
  std::string_view s = Trim(text);
  bool neg = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    neg = s.front() == '-';
    s.remove_prefix(1);
  }
  // Digits with the decimal point removed, and where the point was.
  std::string digits;
  int point = -1;
  size_t i = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      digits.push_back(c);
    } else if (c == '.' && point < 0) {
      point = static_cast<int>(digits.size());
    } else {
      break;
    }
  }
  if (digits.empty()) return false;
  if (point < 0) point = static_cast<int>(digits.size());
  if (i < s.size()) {
    if (s[i] != 'e' && s[i] != 'E') return false;
    int exp = 0;
    std::string_view e = s.substr(i + 1);
    if (!e.empty() && e.front() == '+') e.remove_prefix(1);
    const auto [p, ec] = std::from_chars(e.data(), e.data() + e.size(), exp);
    if (ec != std::errc() || p != e.data() + e.size() || exp > 30 || exp < -30) return false;
    point += exp;
  }
  // units = digits shifted so that four decimals stay, then rounded on the fifth.
  const int keep = point + 4;  // digits that form the units
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t acc = 0;
  for (int k = 0; k < keep; ++k) {
    const int d = k < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(k)] - '0' : 0;
    if (acc > (kMax - d) / 10) return false;
    acc = acc * 10 + d;
  }
  if (keep >= 0 && keep < static_cast<int>(digits.size()) &&
      digits[static_cast<size_t>(keep)] >= '5') {
    if (acc == kMax) return false;
    ++acc;
  }
  units = static_cast<int64_t>(neg ? -acc : acc);
  return true;
}

bool ParseDateTime(std::string_view text, TDateTime& out) {
  std::string_view s = Trim(text);
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, ms = 0;
  auto num = [&](int& v, size_t max_digits) {
    size_t n = 0;
    v = 0;
    while (!s.empty() && s.front() >= '0' && s.front() <= '9' && n < max_digits) {
      v = v * 10 + (s.front() - '0');
      s.remove_prefix(1);
      ++n;
    }
    return n > 0;
  };
  auto sep = [&](char a, char b) {
    if (!s.empty() && (s.front() == a || s.front() == b)) {
      s.remove_prefix(1);
      return true;
    }
    return false;
  };
  double days = 0;
  const bool has_date = s.find_first_of("/-") != std::string_view::npos;
  if (has_date) {
    if (!num(y, 4) || !sep('/', '-') || !num(mo, 2) || !sep('/', '-') || !num(d, 2)) return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || y < 1) return false;
    days = px::DaysFromCivil(y, mo, d) - px::kDaysTo18991230;
    if (s.empty()) {
      out = days;
      return true;
    }
    if (!sep(' ', 'T')) return false;
  }
  if (!num(h, 2) || !sep(':', ':') || !num(mi, 2)) return false;
  if (sep(':', ':')) {
    if (!num(sec, 2)) return false;
    if (sep('.', '.') && !num(ms, 3)) return false;
  }
  if (!s.empty() || h > 23 || mi > 59 || sec > 59) return false;
  const double frac = ((h * 60 + mi) * 60 + sec + ms / 1000.0) / 86400.0;
  out = days < 0 ? days - frac : days + frac;
  return true;
}

namespace {

void Split(TDateTime v, int& y, int& mo, int& d, int& h, int& mi, int& s) {
  // Whole days count from the zero date (backwards when negative); the fraction's magnitude is
  // the time of day, rounded to the second.
  const double whole = std::trunc(v);
  long secs = std::lround(std::fabs(v - whole) * 86400.0);
  auto days = static_cast<int32_t>(whole);
  if (secs >= 86400) {
    secs -= 86400;
    days += v < 0 ? -1 : 1;
  }
  px::CivilFromDays(days + px::kDaysTo18991230, y, mo, d);
  h = static_cast<int>(secs / 3600);
  mi = static_cast<int>(secs / 60 % 60);
  s = static_cast<int>(secs % 60);
}

}  // namespace

std::string FormatDate(TDateTime v) {
  int y, mo, d, h, mi, s;
  Split(v, y, mo, d, h, mi, s);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", y, mo, d);
  return buf;
}

std::string FormatTime(TDateTime v) {
  int y, mo, d, h, mi, s;
  Split(v, y, mo, d, h, mi, s);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, mi, s);
  return buf;
}

std::string FormatDateTime(TDateTime v) {
  return FormatDate(v) + " " + FormatTime(v);
}

std::string FieldRead::AsString() const {
  switch (v.kind) {
    case CellKind::kNull:
      return {};
    case CellKind::kText:
    case CellKind::kBlob:
      return std::string(v.bytes);
    case CellKind::kInt:
      if (type == TFieldType::ftBoolean) return v.i ? "True" : "False";
      if (type == TFieldType::ftDate) return FormatDate(static_cast<double>(v.i));
      return std::to_string(v.i);
    case CellKind::kFloat:
      if (type == TFieldType::ftDateTime) return FormatDateTime(v.f);
      if (type == TFieldType::ftTime) return FormatTime(v.f);
      return FormatFloat(v.f);
  }
  return {};
}

int32_t FieldRead::AsInteger() const {
  switch (v.kind) {
    case CellKind::kNull:
      return 0;
    case CellKind::kInt:
      return ToInt32(static_cast<double>(v.i), *this);
    case CellKind::kFloat:
      return ToInt32(v.f, *this);
    case CellKind::kText:
    case CellKind::kBlob: {
      int64_t n = 0;
      if (Trim(v.bytes).empty()) return 0;
      if (!ParseInt64(v.bytes, n)) throw EDatabaseError(MsgBadValue(name, v.bytes, SJ("整数")));
      return ToInt32(static_cast<double>(n), *this);
    }
  }
  return 0;
}

bool FieldRead::AsBoolean() const {
  switch (v.kind) {
    case CellKind::kNull:
      return false;
    case CellKind::kInt:
      return v.i != 0;
    case CellKind::kFloat:
      return v.f != 0;
    case CellKind::kText:
    case CellKind::kBlob: {
      const std::string_view t = Trim(v.bytes);
      for (const char* yes : {"true", "t", "yes", "y", "1"}) {
        if (EqualsNoCase(t, yes)) return true;
      }
      for (const char* no : {"false", "f", "no", "n", "0", ""}) {
        if (EqualsNoCase(t, no)) return false;
      }
      throw EDatabaseError(MsgBadValue(name, v.bytes, SJ("論理値")));
    }
  }
  return false;
}

double FieldRead::AsFloat() const {
  switch (v.kind) {
    case CellKind::kNull:
      return 0;
    case CellKind::kInt:
      return static_cast<double>(v.i);
    case CellKind::kFloat:
      return v.f;
    case CellKind::kText:
    case CellKind::kBlob: {
      double d = 0;
      if (Trim(v.bytes).empty()) return 0;
      if (!ParseDouble(v.bytes, d)) throw EDatabaseError(MsgBadValue(name, v.bytes, SJ("数値")));
      return d;
    }
  }
  return 0;
}

TDateTime FieldRead::AsDateTime() const {
  if (v.kind == CellKind::kText || v.kind == CellKind::kBlob) {
    TDateTime d = 0;
    if (Trim(v.bytes).empty()) return 0;
    if (!ParseDateTime(v.bytes, d)) throw EDatabaseError(MsgBadValue(name, v.bytes, SJ("日付")));
    return d;
  }
  return AsFloat();
}

Currency FieldRead::AsCurrency() const {
  switch (v.kind) {
    case CellKind::kNull:
      return {};
    case CellKind::kInt:
      if (v.i > std::numeric_limits<int64_t>::max() / 10000 ||
          v.i < std::numeric_limits<int64_t>::min() / 10000) {
        throw EDatabaseError(MsgBadValue(name, std::to_string(v.i), SJ("金額")));
      }
      return Currency{v.i * 10000};
    case CellKind::kFloat:
      if (auto fast = UnitsOfDouble(v.f)) return Currency{*fast};
      if (int64_t units = 0; std::isfinite(v.f) && ParseCurrency(FormatFloat(v.f), units)) {
        return Currency{units};
      }
      throw EDatabaseError(MsgBadValue(name, FormatFloat(v.f), SJ("金額")));
    case CellKind::kText:
    case CellKind::kBlob: {
      int64_t units = 0;
      if (Trim(v.bytes).empty()) return {};
      if (!ParseCurrency(v.bytes, units))
        throw EDatabaseError(MsgBadValue(name, v.bytes, SJ("金額")));
      return Currency{units};
    }
  }
  return {};
}

}  // namespace nc16::db::detail
