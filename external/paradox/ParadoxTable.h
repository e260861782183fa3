#pragma once
// Reading Paradox tables (.DB, with the .MB blob file beside them), Paradox 3.0 to 7.x.
//
// A Table loads the whole .DB file into memory when it is opened, checks the header and the block
// chain, and then hands out records in block-chain order (the order Paradox shows them; for a
// keyed table that is key order). The file layout is documented in ParadoxFormat.h.
//
// Texts (alpha, memo) stay raw bytes in the table's code page (code_page in the header; CP932 for
// the payroll tables). Field names are raw bytes as well.
//
// Every fault of the file (truncated, corrupt, hostile) raises ParadoxError naming the file and
// the fault; nothing read from the file is trusted before it is checked.
//
// A Table opened from a path reads the .DB and (when a field needs it) the .MB file once, under a
// shared lock, and never touches the files again; it may outlive changes to them. Thread safety:
// const access from several threads is fine for tables opened from a path; a table built from
// bytes without blob bytes loads nothing later either.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "external/paradox/TableFile.h"

namespace nc16::px {

// Any fault of a Paradox table file. what() is a CP932 message naming the file and the fault,
// e.g. "テーブル C:/data/mSyain.DB が壊れています: block 7 lies beyond the end of the file".
class ParadoxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The table is password-protected; its data cannot be read.
class EncryptedTableError : public ParadoxError {
 public:
  using ParadoxError::ParadoxError;
};

// Another process (or another Table/TableWriter object) has the table open for exclusive use.
class TableLockedError : public ParadoxError {
 public:
  using ParadoxError::ParadoxError;
};

// The field type codes as stored in the header.
enum class FieldType : uint8_t {
  Alpha = 0x01,
  Date = 0x02,
  Short = 0x03,
  Long = 0x04,
  Money = 0x05,
  Number = 0x06,
  Logical = 0x09,
  Memo = 0x0C,
  Blob = 0x0D,  // "binary"
  FmtMemo = 0x0E,
  Ole = 0x0F,
  Graphic = 0x10,
  Time = 0x14,
  Timestamp = 0x15,
  AutoInc = 0x16,
  BCD = 0x17,
  Bytes = 0x18,
};

// The type's name as Paradox shows it ("Alpha", "Long", ...); "?" for a code outside the enum.
std::string_view FieldTypeName(FieldType type);

// True for the types whose data live in the .MB file (memo, formatted memo, binary, OLE, graphic).
bool IsBlobType(FieldType type);

struct FieldInfo {
  std::string name;  // raw bytes in the table's code page
  FieldType type = FieldType::Alpha;
  // Bytes the field takes in a record, except BCD, where it is the number of decimals (the field
  // always takes 17 bytes), as Paradox records it.
  int size = 0;
  int offset = 0;  // of the field inside a record
  int width = 0;   // bytes the field takes in a record
};

// Date: days counted from 1 January of year 1 (proleptic Gregorian), that day being 1.
// 30 December 1899 (the origin of date-time values elsewhere in the system) is day 693594.
struct Date {
  int32_t days = 0;
  friend bool operator==(Date, Date) = default;
};
inline constexpr int32_t kDaysTo18991230 = 693594;

// Time of day in milliseconds since midnight.
struct Time {
  int32_t ms = 0;
  friend bool operator==(Time, Time) = default;
};

// Date and time in milliseconds since the start of day 0 of the Date scale (so ms / 86400000 is
// a Date's days).
struct Timestamp {
  double ms = 0;
  friend bool operator==(Timestamp, Timestamp) = default;
};

// A BCD (binary-coded decimal) value as plain decimal text with the field's decimals: "-12.50".
struct Decimal {
  std::string text;
  friend bool operator==(const Decimal&, const Decimal&) = default;
};

// One field's value. A blank field (all bytes zero) is std::monostate, Paradox's null.
//   Short, Long, AutoInc                     -> int64_t
//   Number, Money                            -> double
//   Logical                                  -> bool
//   Alpha, Bytes, Memo, FmtMemo, Blob, Ole, Graphic -> std::string (raw bytes; alpha without its
//                                               trailing zero bytes)
//   Date, Time, Timestamp, BCD               -> Date, Time, Timestamp, Decimal
using Value = std::variant<std::monostate, int64_t, double, bool, std::string, Date, Time,
                           Timestamp, Decimal>;

struct TableHeader {
  int version = 0;      // 30, 35, 40, 50 or 70 (Paradox 3.0, 3.5, 4.x, 5.x, 7.x)
  int file_type = 0;    // 0 keyed .DB, 2 unkeyed .DB (1 .PX, 3..8 secondary index files)
  int record_size = 0;  // bytes
  int header_size = 0;  // bytes before block 1
  int block_size = 0;   // bytes: 1, 2, 3, 4, 8, 16 or 32 KiB
  uint32_t record_count = 0;
  int file_blocks = 0;  // blocks the header says the file holds
  int first_block = 0;  // first block of the chain (1-based, 0 = none)
  int last_block = 0;
  int key_field_count = 0;  // the first N fields form the primary key
  int code_page = 0;        // DOS/Windows code page; 0 when the file records none (Paradox 3)
  int sort_order = 0;
  uint32_t auto_inc = 0;   // the last auto-increment value handed out
  std::string table_name;  // as recorded in the header
};

// One record of the table: the raw bytes, decoded field by field on request.
class Record {
 public:
  // Raw record bytes (record_size of them); valid while the Table lives.
  std::span<const uint8_t> Raw() const { return raw_; }
  bool IsNull(int field) const;  // all bytes zero
  // Decodes field `field` (0-based). Blob fields read the .MB file; a fault there raises
  // ParadoxError. Alpha values are allocated; for the allocation-free path use AlphaView.
  Value Get(int field) const;
  // Allocation-free accessors for the bulk path; each expects its field type (checked) and gives
  // 0/false/empty for a blank field.
  int64_t GetInteger(int field) const;          // Short, Long, AutoInc
  double GetDouble(int field) const;            // Number, Money, Timestamp (ms)
  std::string_view AlphaView(int field) const;  // Alpha, Bytes, without trailing zero bytes
  std::vector<Value> GetAll() const;

 private:
  friend class Table;
  Record(const class Table* table, std::span<const uint8_t> raw) : table_(table), raw_(raw) {}
  const class Table* table_;
  std::span<const uint8_t> raw_;
};

struct OpenOptions {
  // Take a shared lock (flock) on the .DB file while loading it, so that a writer that holds the
  // table exclusively (TableWriter) makes the open fail with TableLockedError.
  bool shared_lock = true;
  // Where the .MB file is; empty = beside the .DB file, same stem, extension .MB in any case.
  std::filesystem::path blob_file;
};

// A file a table was read from, with its identity when it was opened.
struct SourceFile {
  std::filesystem::path path;
  FileIdentity identity;
};

class Table {
 public:
  // Opens and checks `db_file`. Raises ParadoxError (file missing, unreadable, corrupt),
  // EncryptedTableError, TableLockedError.
  explicit Table(const std::filesystem::path& db_file, const OpenOptions& options = {});
  // A table from bytes already in memory (fuzzing, tests); `name` names it in messages.
  Table(std::string name, std::string db_bytes, std::string mb_bytes = {});
  ~Table();
  Table(Table&&) noexcept;
  Table& operator=(Table&&) noexcept;

  const TableHeader& header() const { return header_; }
  const std::vector<FieldInfo>& fields() const { return fields_; }
  // The field of that name, compared ASCII-case-insensitively; -1 when there is none.
  int FieldIndex(std::string_view name) const;
  // Records in block-chain order (the number the header gives, checked against the blocks).
  size_t RecordCount() const { return records_.size(); }
  Record At(size_t index) const { return Record(this, RecordBytes(index)); }

  // The bulk path: calls fn(const Record&) for each record in block-chain order.
  template <class Fn>
  void ForEach(Fn&& fn) const {
    for (size_t i = 0; i < records_.size(); ++i)
      fn(Record(this, RecordBytes(i)));
  }
  // All records decoded (blob fields included).
  std::vector<std::vector<Value>> ReadAll() const;

  // The blob a field's record bytes point at (memo, binary, ...); raises ParadoxError.
  std::string ReadBlob(std::span<const uint8_t> field_bytes, FieldType type) const;
  const std::string& Name() const { return name_; }  // the file, for messages (CP932)
  // The files read (the .DB file, and the .MB file when the table has blob fields and one was
  // found), each as it was when opened, before it was read: a reader that compares them with the
  // files later knows whether what it read may have changed meanwhile. Empty for a table made
  // from bytes.
  const std::vector<SourceFile>& Sources() const { return sources_; }
  [[noreturn]] void Fail(std::string_view fault) const;

 private:
  std::span<const uint8_t> RecordBytes(size_t index) const {
    return {reinterpret_cast<const uint8_t*>(data_.data()) + records_[index],
            static_cast<size_t>(header_.record_size)};
  }
  void Parse();
  // The fault of a header (its first bytes) whose record count no file of `size` bytes can hold;
  // nothing when the count fits or other faults of the header make it meaningless.
  static std::optional<std::string> CountBeyondFile(std::string_view header, uint64_t size);
  const std::string& BlobBytes() const;
  void BlobBytesIfAny() const;

  std::string name_;
  std::string data_;               // the whole .DB file
  std::vector<uint32_t> records_;  // offset of each record in data_, chain order
  TableHeader header_;
  std::vector<FieldInfo> fields_;
  std::filesystem::path blob_path_;            // empty: none known
  mutable std::unique_ptr<std::string> blob_;  // the .MB file; null when there is none
  mutable bool blob_loaded_ = false;
  mutable std::vector<SourceFile> sources_;
};

// The file beside `db_file` with its stem and extension `ext` (".MB", ".PX"): the one that exists
// in whatever letter case, else the name spelled with `ext`. Two such files that differ only in
// case raise ParadoxError naming both: a table's companion is never picked at random.
std::filesystem::path SiblingFile(const std::filesystem::path& db_file, std::string_view ext);

// The .MB file beside a .DB file (same stem, extension .MB in any case); empty if there is none.
std::filesystem::path FindBlobFile(const std::filesystem::path& db_file);

}  // namespace nc16::px
