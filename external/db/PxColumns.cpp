#include "external/db/PxColumns.h"

#include <cstring>

namespace nc16::db::detail {
namespace {

struct TypeRow {
  px::FieldType px;
  TFieldType field;
  const char* decl;
};

// clang-format off
constexpr TypeRow kTypes[] = {
    {px::FieldType::Alpha,     TFieldType::ftString,   "ALPHA_TEXT"},
    {px::FieldType::Date,      TFieldType::ftDate,     "DATE_INT"},
    {px::FieldType::Short,     TFieldType::ftSmallint, "SHORT_INT"},
    {px::FieldType::Long,      TFieldType::ftInteger,  "LONG_INT"},
    {px::FieldType::Money,     TFieldType::ftCurrency, "MONEY_REAL"},
    {px::FieldType::Number,    TFieldType::ftFloat,    "NUMBER_REAL"},
    {px::FieldType::Logical,   TFieldType::ftBoolean,  "LOGICAL_INT"},
    {px::FieldType::Memo,      TFieldType::ftMemo,     "MEMO_TEXT"},
    {px::FieldType::Blob,      TFieldType::ftBlob,     "BINARY_BLOB"},
    {px::FieldType::FmtMemo,   TFieldType::ftFmtMemo,  "FMTMEMO_TEXT"},
    {px::FieldType::Ole,       TFieldType::ftOle,      "OLE_BLOB"},
    {px::FieldType::Graphic,   TFieldType::ftGraphic,  "GRAPHIC_BLOB"},
    {px::FieldType::Time,      TFieldType::ftTime,     "TIME_REAL"},
    {px::FieldType::Timestamp, TFieldType::ftDateTime, "TIMESTAMP_REAL"},
    {px::FieldType::AutoInc,   TFieldType::ftAutoInc,  "AUTOINC_INT"},
    {px::FieldType::BCD,       TFieldType::ftFloat,    "BCD_REAL"},
    {px::FieldType::Bytes,     TFieldType::ftBytes,    "BYTES_BLOB"},
};
// clang-format on

}  // namespace

TFieldType FieldTypeOf(px::FieldType type) {
  for (const auto& row : kTypes) {
    if (row.px == type) return row.field;
  }
  return TFieldType::ftUnknown;
}

const char* DeclTypeOf(px::FieldType type) {
  for (const auto& row : kTypes) {
    if (row.px == type) return row.decl;
  }
  return "BLOB";
}

TFieldType FieldTypeOfDecl(const char* decl) {
  if (decl == nullptr) return TFieldType::ftUnknown;
  for (const auto& row : kTypes) {
    if (std::strcmp(row.decl, decl) == 0) return row.field;
  }
  return TFieldType::ftUnknown;
}

CellKind KindOf(TFieldType type) {
  switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftMemo:
    case TFieldType::ftFmtMemo:
      return CellKind::kText;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftAutoInc:
    case TFieldType::ftBoolean:
    case TFieldType::ftDate:
      return CellKind::kInt;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime:
      return CellKind::kFloat;
    case TFieldType::ftBlob:
    case TFieldType::ftGraphic:
    case TFieldType::ftOle:
    case TFieldType::ftBytes:
      return CellKind::kBlob;
    default:
      return CellKind::kNull;
  }
}

std::optional<px::FieldType> ParadoxTypeOf(TFieldType t) {
  switch (t) {
    case TFieldType::ftString:
      return px::FieldType::Alpha;
    case TFieldType::ftSmallint:
      return px::FieldType::Short;
    case TFieldType::ftInteger:
      return px::FieldType::Long;
    case TFieldType::ftAutoInc:
      return px::FieldType::AutoInc;
    case TFieldType::ftBoolean:
      return px::FieldType::Logical;
    case TFieldType::ftFloat:
      return px::FieldType::Number;
    case TFieldType::ftCurrency:
      return px::FieldType::Money;
    case TFieldType::ftBCD:
      return px::FieldType::BCD;
    case TFieldType::ftDate:
      return px::FieldType::Date;
    case TFieldType::ftTime:
      return px::FieldType::Time;
    case TFieldType::ftDateTime:
      return px::FieldType::Timestamp;
    case TFieldType::ftMemo:
      return px::FieldType::Memo;
    case TFieldType::ftFmtMemo:
      return px::FieldType::FmtMemo;
    case TFieldType::ftBlob:
      return px::FieldType::Blob;
    case TFieldType::ftGraphic:
      return px::FieldType::Graphic;
    case TFieldType::ftOle:
      return px::FieldType::Ole;
    case TFieldType::ftBytes:
      return px::FieldType::Bytes;
    default:
      return std::nullopt;
  }
}

}  // namespace nc16::db::detail
