#pragma once
// Reading one stored value in the forms TField offers, and the text forms of values. Shared by
// the query fields and the table fields.
//
// Conversions (a null reads as empty text, 0, false or the zero date):
//   AsString   text as stored; integers in decimal; floats and money with up to 15 significant
//              digits ("12.5", "-3"); booleans "True"/"False"; dates "YYYY/MM/DD", date-times
//              "YYYY/MM/DD hh:mm:ss", times "hh:mm:ss"
//   AsInteger  floats and money rounded to the nearest integer, halves away from zero; text must
//              be a decimal integer; a value outside 32 bits is an error
//   AsBoolean  non-zero numbers are true; text "True"/"T"/"Yes"/"Y"/"1" and "False"/"F"/"No"/
//              "N"/"0" in any case
//   AsFloat, AsDateTime   the number itself (a date's days); text as a number or a date
//   AsCurrency floats rounded to four decimals, halves away from zero; text as a decimal
// A value that does not convert raises EDatabaseError naming the field and the value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "external/db/Db.h"
#include "external/db/RowSet.h"

namespace nc16::db::detail {

struct CellView {
  CellKind kind = CellKind::kNull;
  int64_t i = 0;
  double f = 0;
  std::string_view bytes;
};

struct FieldRead {
  const std::string& name;  // for messages
  TFieldType type;
  CellView v;

  std::string AsString() const;
  int32_t AsInteger() const;
  bool AsBoolean() const;
  double AsFloat() const;
  TDateTime AsDateTime() const;
  Currency AsCurrency() const;
};

// Exact decimal text ("-12.345", "1e3") to units of 1/10000, halves away from zero; false when
// the text is no number or does not fit.
bool ParseCurrency(std::string_view text, int64_t& units);

// The money units of a double the quick way, when that gives what ParseCurrency(FormatFloat(v))
// gives; nullopt for the values that need the exact path.
std::optional<int64_t> UnitsOfDouble(double v);
// A double as up to 15 significant digits, without exponent for ordinary magnitudes.
std::string FormatFloat(double v);
// Date-time text: "YYYY/MM/DD" or "YYYY-MM-DD", optionally followed by " hh:mm[:ss[.zzz]]", or
// a time "hh:mm[:ss]" alone.
bool ParseDateTime(std::string_view text, TDateTime& out);
std::string FormatDate(TDateTime v);
std::string FormatDateTime(TDateTime v);
std::string FormatTime(TDateTime v);
// Half away from zero, as the rest of the system rounds amounts.
double RoundHalfAway(double v);

}  // namespace nc16::db::detail
