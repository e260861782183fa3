#pragma once
// The index behind TQuery::Locate: for one list of key columns, the first row (in query order) of
// a key. Rows that already come in key order (the usual case: a query ordered by the fields it
// then locates on) are searched by bisection and cost no memory; others get an open-addressing
// hash table of the first row of every distinct key, so a lookup costs one hash and about one
// comparison however many rows the query holds.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "external/db/FieldValue.h"
#include "external/db/RowSet.h"

namespace nc16::db::detail {

// The rows a Locate looks through: the cells of a query result, or records of a loaded table.
class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual size_t Rows() const = 0;
  // The value of `column` in `row`; its bytes may live in `scratch` until the next call with it.
  virtual CellView View(size_t row, int column, std::string& scratch) const = 0;
};

// The rows of a RowSet.
class CellRows final : public RowSource {
 public:
  explicit CellRows(const RowSet& rows) : rows_(rows) {}
  size_t Rows() const override { return rows_.Rows(); }
  CellView View(size_t row, int column, std::string& scratch) const override;

 private:
  const RowSet& rows_;
};

class LocateIndex {
 public:
  // `rows` must outlive the index and keep its rows while it is used.
  LocateIndex(const RowSource& rows, std::vector<int> columns);

  // The first row whose key columns equal `probe` (one value per key column; numbers compare by
  // value across integer and float, text byte by byte, null only with null).
  std::optional<size_t> Find(const std::vector<CellView>& probe) const;

  bool Bisects() const { return sorted_; }

 private:
  bool KeysAscend() const;
  std::optional<size_t> Bisect(const std::vector<CellView>& probe) const;
  void BuildHash();
  uint64_t HashRow(size_t row) const;
  bool RowEquals(size_t a, size_t b) const;
  bool RowEquals(size_t row, const std::vector<CellView>& probe) const;

  // One slot is one cache line's eighth: the row and 32 bits of its key's hash, so a probe that
  // misses rarely touches the rows.
  struct Slot {
    uint32_t row = 0;  // row + 1; 0 = empty
    uint32_t tag = 0;  // high half of the hash
  };

  const RowSource& rows_;
  std::vector<int> columns_;
  bool sorted_ = false;
  mutable size_t hint_ = 0;  // where the last bisection ended
  std::vector<Slot> slots_;
  size_t mask_ = 0;
  mutable std::string scratch_a_, scratch_b_;
};

uint64_t HashCell(const CellView& v);
bool CellsEqual(const CellView& a, const CellView& b);
// The order of values that CellsEqual agrees with: null, then numbers by value, then text and
// blobs byte by byte; nothing for a NaN, which is equal to nothing and in no order.
std::optional<int> CompareCells(const CellView& a, const CellView& b);
CellView ViewOf(const RowSet& rows, const Cell& c);

}  // namespace nc16::db::detail
