#pragma once
// Writing a whole payroll table in one pass, for the demo installation.
//
// The Paradox writer appends one record at a time with a crash-safe commit per record, which is
// right for the program's log but far too slow for a demo installation of 100,000 employees
// (millions of payment rows). A TableFile writes the header the writer would write, streams full
// data blocks behind it, and in Finish fixes the header's counts and chain ends and writes the
// primary index. Records must come in primary-key order, as a keyed Paradox table keeps them;
// the order is checked.
//
// Columns are set by name. A name the table's schema does not know at all is a programming error
// (std::logic_error); a column the table has only from a later data version is ignored, so the
// generator can describe every row once for all data versions.
//
// Unlike the writer, a TableFile is not crash-safe: a failed run leaves a half-written table,
// which is fine for generated data that are simply made again.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "external/paradox/ParadoxTable.h"
#include "external/paradox/WriterFormat.h"

namespace nc16::demo {

class TableFile {
 public:
  // Creates `folder_cp932`/<the table's file name> (which must not exist yet) with the columns
  // of `version`. Raises std::runtime_error naming the file on failure.
  TableFile(const std::string& folder_cp932, std::string_view table, int version);
  ~TableFile();
  TableFile(const TableFile&) = delete;
  TableFile& operator=(const TableFile&) = delete;

  // Set a field of the record being built; a field never set stays blank (null).
  void SetInt(std::string_view column, int64_t value);            // Short, Long
  void SetMoney(std::string_view column, double value);           // Money, Number
  void SetBool(std::string_view column, bool value);              // Logical
  void SetText(std::string_view column, std::string_view cp932);  // Alpha; longer than the
                                                                  // field: std::length_error
  void SetDate(std::string_view column, px::Date value);          // Date
  void SetTimestamp(std::string_view column, px::Timestamp value);

  // Appends the record built so far and starts a blank one. std::logic_error when its key is
  // not greater than the previous record's (keyed tables).
  void Add();

  // Writes the last block and the header, and closes the file. Must be called once; a
  // TableFile destroyed without it leaves an unusable file behind (the run failed anyway).
  void Finish();

  size_t RecordCount() const { return records_; }
  const std::filesystem::path& File() const { return file_; }

 private:
  uint8_t* FieldFor(std::string_view column, std::initializer_list<px::FieldType> types,
                    const px::FieldInfo** info);
  void FlushBlock();
  void WriteAt(uint64_t offset, const void* data, size_t size);
  [[noreturn]] void Fail(const std::string& what) const;

  std::filesystem::path file_;
  std::string name_cp932_;  // for messages
  std::FILE* out_ = nullptr;
  std::vector<px::FieldInfo> fields_;
  std::unordered_map<std::string, int> columns_;  // schema column -> field index, -1 if absent
  int record_size_ = 0;
  int header_size_ = 0;
  int block_size_ = 0;
  int key_fields_ = 0;
  int key_bytes_ = 0;
  std::vector<px::writer::ChainBlock> index_;  // per block, for the primary index
  std::vector<uint8_t> record_;
  std::vector<uint8_t> previous_key_;
  std::vector<uint8_t> block_;
  int in_block_ = 0;
  int per_block_ = 0;
  int blocks_ = 0;
  size_t records_ = 0;
  bool finished_ = false;
};

}  // namespace nc16::demo
