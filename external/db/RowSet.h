#pragma once
// Compact row storage shared by the decoded tables and the query results: a row is a fixed run of
// 16-byte cells, and text and blob bytes live in one arena, so a result of a hundred thousand rows
// costs one allocation per growth step instead of one per value.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "external/db/Db.h"

namespace nc16::db::detail {

enum class CellKind : uint8_t { kNull, kInt, kFloat, kText, kBlob };

struct Cell {
  CellKind kind = CellKind::kNull;
  uint32_t len = 0;  // bytes of a text or blob in the arena
  union {
    int64_t i;
    double f;
    uint64_t off;  // arena offset of a text or blob
  };
  Cell() : i(0) {}
};
static_assert(sizeof(Cell) == 16);

// What a column holds and how its values read. `type` is what TField::DataType reports.
struct ColumnInfo {
  std::string name;
  TFieldType type = TFieldType::ftUnknown;
  int size = 0;  // characters of an ftString
};

class RowSet {
 public:
  explicit RowSet(int columns = 0) : columns_(columns) {}

  int Columns() const { return columns_; }
  size_t Rows() const { return columns_ == 0 ? 0 : cells_.size() / static_cast<size_t>(columns_); }
  void Reserve(size_t rows) { cells_.reserve(rows * static_cast<size_t>(columns_)); }

  // Appending: call Add* exactly Columns() times per row, in column order.
  void AddNull() { cells_.emplace_back(); }
  void AddInt(int64_t v) {
    Cell& c = cells_.emplace_back();
    c.kind = CellKind::kInt;
    c.i = v;
  }
  void AddFloat(double v) {
    Cell& c = cells_.emplace_back();
    c.kind = CellKind::kFloat;
    c.f = v;
  }
  void AddText(std::string_view v) { AddBytes(CellKind::kText, v); }
  void AddBlob(std::string_view v) { AddBytes(CellKind::kBlob, v); }

  const Cell& At(size_t row, int col) const {
    return cells_[row * static_cast<size_t>(columns_) + static_cast<size_t>(col)];
  }
  std::string_view Bytes(const Cell& c) const {
    return std::string_view(arena_).substr(c.off, c.len);
  }

 private:
  void AddBytes(CellKind kind, std::string_view v) {
    Cell& c = cells_.emplace_back();
    c.kind = kind;
    c.len = static_cast<uint32_t>(v.size());
    c.off = arena_.size();
    arena_.append(v);
  }

  int columns_;
  std::vector<Cell> cells_;
  std::string arena_;
};

}  // namespace nc16::db::detail
