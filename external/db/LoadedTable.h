#pragma once
// One Paradox table read into memory for a session, and the lookups the virtual-table module
// builds over it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "external/paradox/ParadoxTable.h"

namespace nc16::db::detail {

// The rows of one column grouped by value, for `column = value` lookups. Keys are the values in
// a canonical byte form (KeyOf*), so an integral float finds the integer of the same value.
struct ColumnIndex {
  std::unordered_map<std::string, std::vector<uint32_t>> rows;  // in table order
};

struct LoadedTable {
  std::string file_name;  // CP932, for messages
  uint64_t stamp_size = 0;
  int64_t stamp_mtime = 0;
  uint64_t stamp_inode = 0;
  std::unique_ptr<px::Table> table;
  std::vector<px::FieldType> types;
  std::vector<std::string> names;

  // Built on the first lookup of a column; null until then.
  const ColumnIndex& IndexOf(int column);

 private:
  std::vector<std::unique_ptr<ColumnIndex>> indexes_;
};

// Canonical keys: "" for null (never matches), 'i' + 8 bytes for integers and integral floats,
// 'f' + 8 bytes for other floats, 't' + bytes for text and blobs.
std::string KeyOfInt(int64_t v);
std::string KeyOfFloat(double v);
std::string KeyOfBytes(std::string_view v);

}  // namespace nc16::db::detail
