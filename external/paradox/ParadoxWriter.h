#pragma once
// Creating Paradox 7 tables and appending records to them.
//
// CreateTable writes a new table (.DB, and .MB when a field needs one, .PX when keyed) in code
// page 932 unless told otherwise. TableWriter opens an existing table for exclusive use (an OS
// lock held for the writer's life) and appends records; a keyed table keeps its records in key
// order and its .PX up to date.
//
// Crash safety of Append: new blob data go to the end of the .MB file, the records are written as
// a fresh block chain into blocks the current chain does not use, and only then is the header
// rewritten to point at the new chain (the commit point: one write of the first sector). A failure
// before the header write leaves the table as it was; after it, the table holds the new record.
// The .PX is rewritten last (temporary file, then rename); a failure in between leaves a stale but
// well-formed .PX whose blocks still hold the old records. Our reader never needs the .PX.

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

// A secondary index definition. Accepted and recorded for the caller, but not written: only the
// primary index (.PX) is produced. See the report of the component.
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
