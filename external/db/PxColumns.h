#pragma once
// How the fields of a Paradox table appear to SQLite and to the callers.
//
// Storage in SQLite, chosen so that SQLite's own comparisons give the engine's order:
//   Alpha, Memo, FmtMemo     TEXT, the raw CP932 bytes (BINARY collation compares with memcmp)
//   Short, Long, AutoInc     INTEGER
//   Logical                  INTEGER 0 or 1
//   Date                     INTEGER days since 30 December 1899 (the date-time origin)
//   Number, Money, BCD       REAL (BCD as a float: the connections say ENABLE BCD=FALSE)
//   Time                     REAL fraction of a day
//   Timestamp                REAL days since 30 December 1899, the fraction the time of day
//   Binary, OLE, Graphic, Bytes  BLOB
// A blank field (and an empty alpha or memo) is NULL, so blanks sort first in ascending order.
//
// The declared type of each column carries the field type through SQLite ("MONEY_REAL"), so a
// result column that is a plain table column reports the field type it came from. Every name
// holds its affinity's keyword (INT, TEXT, REAL, BLOB) so SQLite never converts the stored values.

#include <sqlite3.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "external/db/Db.h"
#include "external/db/RowSet.h"
#include "external/paradox/ParadoxTable.h"

namespace nc16::db::detail {

TFieldType FieldTypeOf(px::FieldType type);
// The Paradox type a field definition creates; nullopt for a type no table can hold.
std::optional<px::FieldType> ParadoxTypeOf(TFieldType type);
const char* DeclTypeOf(px::FieldType type);
// The field type behind a declared type; ftUnknown for an expression (decltype null or foreign).
TFieldType FieldTypeOfDecl(const char* decltype_or_null);
// The storage kind a field type's values have (text, integer, real, blob).
CellKind KindOf(TFieldType type);

// Paradox dates count days from 1 January 0001 (day 1); date-time values from 30 December 1899.
inline int64_t DateToDays1899(int32_t paradox_days) {
  return static_cast<int64_t>(paradox_days) - px::kDaysTo18991230;
}

// Paradox timestamps count milliseconds from day 0 of the same scale. Subtracting before dividing
// keeps the time of day exact to the millisecond.
inline double TimestampToDays1899(double ms) {
  return (ms - px::kDaysTo18991230 * 86400000.0) / 86400000.0;
}

// Feeds field `field` of `record` to `sink`, which has Null(), Int(int64_t), Float(double),
// Text(std::string_view, bool stable) and Blob(std::string_view, bool stable); `stable` views
// point into the table's memory and live as long as the table.
template <class Sink>
void EmitField(const px::Record& record, int field, px::FieldType type, Sink& sink) {
  using px::FieldType;
  if (type == FieldType::Alpha) {
    // A blank alpha field reads as empty: no need to test its bytes for blank first.
    const std::string_view v = record.AlphaView(field);
    if (v.empty()) {
      sink.Null();
    } else {
      sink.Text(v, true);
    }
    return;
  }
  if (record.IsNull(field)) {
    sink.Null();
    return;
  }
  switch (type) {
    case FieldType::Bytes:
      sink.Blob(record.AlphaView(field), true);
      return;
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc:
      sink.Int(record.GetInteger(field));
      return;
    case FieldType::Number:
    case FieldType::Money:
      sink.Float(record.GetDouble(field));
      return;
    default:
      break;
  }
  const px::Value v = record.Get(field);
  if (const auto* b = std::get_if<bool>(&v)) {
    sink.Int(*b ? 1 : 0);
  } else if (const auto* d = std::get_if<px::Date>(&v)) {
    sink.Int(DateToDays1899(d->days));
  } else if (const auto* t = std::get_if<px::Time>(&v)) {
    sink.Float(t->ms / 86400000.0);
  } else if (const auto* ts = std::get_if<px::Timestamp>(&v)) {
    sink.Float(TimestampToDays1899(ts->ms));
  } else if (const auto* dec = std::get_if<px::Decimal>(&v)) {
    sink.Float(std::strtod(dec->text.c_str(), nullptr));
  } else if (const auto* s = std::get_if<std::string>(&v)) {
    if (KindOf(FieldTypeOf(type)) == CellKind::kText) {
      if (s->empty()) {
        sink.Null();
      } else {
        sink.Text(*s, false);
      }
    } else {
      sink.Blob(*s, false);
    }
  } else if (const auto* i = std::get_if<int64_t>(&v)) {
    sink.Int(*i);
  } else if (const auto* f = std::get_if<double>(&v)) {
    sink.Float(*f);
  } else {
    sink.Null();
  }
}

}  // namespace nc16::db::detail
