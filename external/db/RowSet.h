#pragma once
// Compact row storage shared by the decoded tables and the query results: a row is a fixed run of
// 16-byte cells, and text and blob bytes live in arena blocks, so a result of a hundred thousand
// rows costs one allocation per block instead of one per value.

#include <algorithm>
#include <cstdint>
#include <memory>
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

// Cells and bytes are kept in fixed-size blocks that never move: a result grows without the
// doubling copies of one contiguous buffer, which at their peak would hold it up to three times.
class RowSet {
 public:
  explicit RowSet(int columns = 0) : columns_(columns) {}

  int Columns() const { return columns_; }
  size_t Rows() const { return columns_ == 0 ? 0 : cell_count_ / static_cast<size_t>(columns_); }
  void Reserve(size_t) {}  // blocks are taken as the rows come
  // No rows, keeping the first blocks for the rows to come.
  void Clear() {
    cell_count_ = 0;
    if (cells_.size() > 1) cells_.resize(1);
    if (arena_.size() > 1) arena_.resize(1);
    if (!arena_.empty()) arena_[0].clear();
  }

  // Appending: call Add* exactly Columns() times per row, in column order.
  void AddNull() { NewCell(); }
  void AddInt(int64_t v) {
    Cell& c = NewCell();
    c.kind = CellKind::kInt;
    c.i = v;
  }
  void AddFloat(double v) {
    Cell& c = NewCell();
    c.kind = CellKind::kFloat;
    c.f = v;
  }
  void AddText(std::string_view v) { AddBytes(CellKind::kText, v); }
  void AddBlob(std::string_view v) { AddBytes(CellKind::kBlob, v); }

  const Cell& At(size_t row, int col) const {
    const size_t i = row * static_cast<size_t>(columns_) + static_cast<size_t>(col);
    return cells_[i >> kCellBlockBits][i & (kCellBlock - 1)];
  }
  // A value's bytes: `off` holds its block in the high half and its place in the low one.
  std::string_view Bytes(const Cell& c) const {
    return std::string_view(arena_[c.off >> 32]).substr(c.off & 0xffffffffu, c.len);
  }

 private:
  static constexpr size_t kCellBlockBits = 16;
  static constexpr size_t kCellBlock = size_t{1} << kCellBlockBits;  // 1 MiB of cells
  static constexpr size_t kArenaBlock = size_t{1} << 20;

  Cell& NewCell() {
    const size_t block = cell_count_ >> kCellBlockBits;
    if (block == 0 && cell_count_ == first_capacity_) {
      // The first block starts small and doubles up to a full block, so that the many small
      // results cost little; its copies stay below one block.
      const size_t capacity =
          first_capacity_ == 0 ? 256 : std::min(2 * first_capacity_, kCellBlock);
      auto grown = std::make_unique<Cell[]>(capacity);
      if (cells_.empty()) {
        cells_.push_back(std::move(grown));
      } else {
        std::copy(cells_[0].get(), cells_[0].get() + cell_count_, grown.get());
        cells_[0] = std::move(grown);
      }
      first_capacity_ = capacity;
    } else if (block == cells_.size()) {
      cells_.push_back(std::make_unique<Cell[]>(kCellBlock));
    }
    Cell& c = cells_[block][cell_count_ & (kCellBlock - 1)];
    ++cell_count_;
    c = Cell();  // a block kept by Clear holds the cells of earlier rows
    return c;
  }
  void AddBytes(CellKind kind, std::string_view v) {
    // A value never straddles two blocks; one larger than a block has a block of its own.
    // Blocks start small and double up to kArenaBlock.
    if (arena_.empty() || arena_.back().size() + v.size() > arena_.back().capacity()) {
      const size_t want =
          arena_.empty() ? size_t{4096} : std::min(kArenaBlock, 2 * arena_.back().capacity());
      arena_.emplace_back().reserve(std::max(want, v.size()));
    }
    std::string& block = arena_.back();
    Cell& c = NewCell();
    c.kind = kind;
    c.len = static_cast<uint32_t>(v.size());
    c.off = (static_cast<uint64_t>(arena_.size() - 1) << 32) | block.size();
    block.append(v);
  }

  int columns_;
  size_t cell_count_ = 0;
  size_t first_capacity_ = 0;  // cells the first block holds
  std::vector<std::unique_ptr<Cell[]>> cells_;
  std::vector<std::string> arena_;
};

}  // namespace nc16::db::detail
