#pragma once
// Creating Paradox 7 tables and appending records to them.
//
// CreateTable writes a new table (.DB, and .MB when a field needs one, .PX when keyed) in code
// page 932 unless told otherwise. TableWriter opens an existing table for exclusive use (an OS
// lock held for the writer's life) and appends records; a keyed table keeps its records in key
// order and its .PX up to date.
//
// Crash safety of Append, in write order (each step flushed before the next):
//   1. blob data go to the end of the .MB file, where nothing points yet;
//   2. all records, the new one in its place, are written as a fresh block chain into blocks the
//      committed chain does not use (the free list, then the end of the file);
//   3. the header is rewritten to point at the new chain: the commit point, one write inside the
//      first sector; the old chain becomes the free list;
//   4. free blocks the new chain did not take are linked in front of the old chain;
//   5. the .PX is replaced whole (temporary file, then rename).
// A failure before step 3 leaves the table as it was; from step 3 on it holds the new record. A
// failure after 3 loses at most some free blocks for reuse, or leaves a stale but well-formed .PX
// whose entries point at blocks that still hold the old records. Our reader never needs the .PX.
// Each append rewrites the whole chain: cost grows with the table, which suits the small tables
// this system appends to (the data-set list, the My Number log); use AppendMany for bulk loads.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "external/paradox/ParadoxTable.h"

namespace nc16::px {

struct FieldDef {
  std::string name;  // raw bytes in the table's code page, at most 25 bytes
  FieldType type = FieldType::Alpha;
  // Alpha: characters (bytes) 1..255. Memo/FmtMemo/Blob/Ole/Graphic: bytes of the leader kept in
  // the record, 1..240 (0 = 10). BCD: decimals 0..32. Bytes: 1..255. Others: ignored.
  int size = 0;
};

// A secondary index definition. Accepted but not written: only the primary index (.PX) is
// produced. Paradox and the Borland engine open a table without its secondary index files and
// simply lack those indexes; a wrong one would make the table unusable to them, and no
// independent writer was at hand to check ours against.
struct IndexDef {
  std::string name;
  std::vector<std::string> fields;
  bool unique = false;
  bool case_insensitive = false;
  bool descending = false;
};

struct TableDef {
  std::vector<FieldDef> fields;
  int key_field_count = 0;  // primary key = the first N fields; 0 = unkeyed table
  std::vector<IndexDef> secondary_indexes;
  int code_page = 932;
  int block_size = 4096;  // 1, 2, 4, 8, 16 or 32 KiB (as Paradox 7 allows)
};

// Creates a new, empty table at `db_file` (and its .MB/.PX). Raises ParadoxError when the file
// already exists, the definition is invalid (bad name, size, type, key), or a write fails.
void CreateTable(const std::filesystem::path& db_file, const TableDef& def);

class TableWriter {
 public:
  // Opens `db_file` for exclusive use. TableLockedError while any other TableWriter or Table
  // (in this or another process) has it open; ParadoxError when it is missing or corrupt.
  explicit TableWriter(const std::filesystem::path& db_file);
  ~TableWriter();  // releases the lock
  TableWriter(const TableWriter&) = delete;
  TableWriter& operator=(const TableWriter&) = delete;

  const TableHeader& header() const;
  const std::vector<FieldInfo>& fields() const;
  size_t RecordCount() const;

  // Appends one record: one value per field, in field order (fewer values leave the rest blank);
  // std::monostate is blank. Numbers are converted between the numeric types; an AutoInc field
  // left blank gets the next number. Keyed tables: the record goes to its place in key order, and
  // a duplicate key raises ParadoxError. A failure leaves the table as it was.
  void Append(const std::vector<Value>& values);

  // Appends several records with one commit: all of them or none.
  void AppendMany(const std::vector<std::vector<Value>>& records);

  // Test seam: Append throws std::runtime_error("injected failure") right after write step
  // `step` (1 = blob data, 2 = new blocks, 3 = header commit, 4 = free list, 5 = primary index);
  // 0 = never.
  void FailAfterStepForTesting(int step);

 private:
  void AppendRecords(const std::vector<std::vector<Value>>& records);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace nc16::px
