#pragma once
// The index behind TQuery::Locate: for one list of key columns, the first row (in query order) of
// every distinct key, in an open-addressing hash table, so a lookup costs one hash and about one
// comparison however many rows the query holds.

#include <cstdint>
#include <optional>
#include <vector>

#include "external/db/FieldValue.h"
#include "external/db/RowSet.h"

namespace nc16::db::detail {

class LocateIndex {
 public:
  LocateIndex(const RowSet& rows, std::vector<int> columns);

  // The first row whose key columns equal `probe` (one value per key column; numbers compare by
  // value across integer and float, text byte by byte, null only with null).
  std::optional<size_t> Find(const std::vector<CellView>& probe) const;

 private:
  uint64_t HashRow(size_t row) const;
  bool RowEquals(size_t a, size_t b) const;
  bool RowEquals(size_t row, const std::vector<CellView>& probe) const;

  // One slot is one cache line's eighth: the row and 32 bits of its key's hash, so a probe that
  // misses rarely touches the rows.
  struct Slot {
    uint32_t row = 0;  // row + 1; 0 = empty
    uint32_t tag = 0;  // high half of the hash
  };

  const RowSet& rows_;
  std::vector<int> columns_;
  std::vector<Slot> slots_;
  size_t mask_ = 0;
};

uint64_t HashCell(const CellView& v);
bool CellsEqual(const CellView& a, const CellView& b);
CellView ViewOf(const RowSet& rows, const Cell& c);

}  // namespace nc16::db::detail
