#pragma once
// One Paradox table read into memory for a session, and the lookups the virtual-table module
// builds over it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "external/db/FieldValue.h"
#include "external/db/LocateIndex.h"
#include "external/paradox/ParadoxTable.h"

namespace nc16::db::detail {

// The rows of one column chained by the hash of their value, for `column = value` lookups: a
// bucket's chain runs through the rows in table order, so the matches come out in that order.
struct ColumnIndex {
  std::vector<uint32_t> head;  // bucket -> first row + 1 (0: none)
  std::vector<uint32_t> next;  // row -> next row + 1 in the same bucket
  size_t mask = 0;
};

struct LoadedTable {
  std::string file_name;  // CP932, for messages
  uint64_t stamp_size = 0;
  int64_t stamp_mtime = 0;
  uint64_t stamp_inode = 0;
  std::unique_ptr<px::Table> table;
  std::vector<px::FieldType> types;
  std::vector<std::string> names;
  // How many leading fields the records are known to be sorted by (ascending, blanks first):
  // the numeric fields of a keyed table's key, checked when the table is loaded.
  int ordered_fields = 0;

  // Checks the record order and sets ordered_fields.
  void FindOrder();

  // Built on the first lookup of a column.
  const ColumnIndex& IndexOf(int column);

  // Whether field `column` of row `row` equals `key` (numbers by value, text byte by byte).
  bool Matches(uint32_t row, int column, const CellView& key) const;

 private:
  std::vector<std::unique_ptr<ColumnIndex>> indexes_;
};

// The value of one field as a CellView; `scratch` holds the bytes of a value the table does not
// keep decoded (memo), so the view lives as long as `scratch` or the table.
CellView FieldView(const px::Record& record, int column, px::FieldType type, std::string& scratch);

// Records of a loaded table picked by row number, in an order of their own (a query's result kept
// as the rows it names rather than as copies of their values). A field that cannot be decoded
// raises EDBEngineError with the message the query's statement would have failed with.
class TableRows final : public RowSource {
 public:
  TableRows(std::shared_ptr<LoadedTable> table, std::vector<uint32_t> rows)
      : table_(std::move(table)), rows_(std::move(rows)) {}
  size_t Rows() const override { return rows_.size(); }
  CellView View(size_t row, int column, std::string& scratch) const override;

 private:
  std::shared_ptr<LoadedTable> table_;  // kept alive while the rows are read
  std::vector<uint32_t> rows_;
};

}  // namespace nc16::db::detail
