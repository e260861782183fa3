#pragma once
// The database access layer: named connections, SQL queries, fields and tables over folders of
// Paradox tables, in the shape the rest of the program calls (after the Borland Database Engine's
// TDatabase, TQuery, TTable and TField). SQL runs on SQLite; the Paradox files are read and
// written by external/paradox.
//
// Texts are CP932 byte strings throughout: SQL text, field values and error messages.
//
// Ownership: a TQuery or TTable refers to a connection by name only; a TField reference returned
// by a query stays valid until the query moves, closes or is destroyed.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nc16::db {

// Any failure of database access. what() is a CP932 message naming the file, table or field.
class EDatabaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure that the engine itself reports (file missing or locked, corrupt table, SQL error).
class EDBEngineError : public EDatabaseError {
 public:
  using EDatabaseError::EDatabaseError;
};

// The engine's error for a table that another process (or object) holds for exclusive use: the
// one failure that waiting can mend.
class ETableBusy : public EDBEngineError {
 public:
  using EDBEngineError::EDBEngineError;
};

// Fixed-point money with four decimals: `units` is the amount times 10000.
struct Currency {
  int64_t units = 0;
  static Currency FromDouble(double v);  // rounds to the nearest 1/10000, halves away from zero
  double ToDouble() const { return static_cast<double>(units) / 10000.0; }
  friend Currency operator+(Currency a, Currency b) { return {a.units + b.units}; }
  friend bool operator==(Currency a, Currency b) = default;
  friend auto operator<=>(Currency a, Currency b) = default;
};

// Days since 30 December 1899; the fraction is the time of day. 0 is the zero date.
using TDateTime = double;

// A value handed to Locate or a parameter: null, integer, float, boolean or CP932 text.
using Variant = std::variant<std::monostate, int64_t, double, bool, std::string>;

enum class TFieldType {
  ftUnknown,
  ftString,    // alpha
  ftSmallint,  // short
  ftInteger,   // long
  ftAutoInc,
  ftBoolean,   // logical
  ftFloat,     // number
  ftCurrency,  // money
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,  // timestamp
  ftMemo,
  ftFmtMemo,
  ftBlob,  // binary
  ftGraphic,
  ftOle,
  ftBytes,
};

// One column of the current row. A null reads as empty text, 0, false or the zero date.
// AsInteger rounds floats and money halves away from zero; a value that does not convert (text
// that is no number, a number beyond 32 bits) raises EDatabaseError naming field and value.
class TField {
 public:
  virtual ~TField() = default;
  virtual const std::string& FieldName() const = 0;
  virtual TFieldType DataType() const = 0;
  virtual bool IsNull() const = 0;
  virtual std::string AsString() const = 0;
  virtual int32_t AsInteger() const = 0;
  virtual bool AsBoolean() const = 0;
  virtual double AsFloat() const = 0;
  virtual TDateTime AsDateTime() const = 0;
  virtual Currency AsCurrency() const = 0;

  // Assignment, for a table in append state; raises EDatabaseError elsewhere.
  virtual void SetAsString(std::string_view v) = 0;
  virtual void SetAsInteger(int32_t v) = 0;
  virtual void SetAsBoolean(bool v) = 0;
  virtual void SetAsFloat(double v) = 0;
  virtual void SetAsDateTime(TDateTime v) = 0;
  virtual void SetAsCurrency(Currency v) = 0;
  virtual void Clear() = 0;  // sets null
};

// A named connection to a folder of Paradox tables. Set the name, the driver "STANDARD" and the
// parameters "PATH=<folder>", "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE", then Open. Names are
// unique among the open connections of the process; a closed connection may be renamed and
// pointed at another folder.
class TDatabase {
 public:
  TDatabase();
  ~TDatabase();  // closes
  TDatabase(const TDatabase&) = delete;
  TDatabase& operator=(const TDatabase&) = delete;

  void SetDatabaseName(std::string name);
  const std::string& DatabaseName() const;
  void SetDriverName(std::string driver);
  std::vector<std::string>& Params();

  void Open();  // raises EDBEngineError: folder missing, name in use, unknown driver
  void Close();
  bool Connected() const;
  const std::string& Path() const;  // the folder, once connected

  // The first table file that the connection's queries have read and that is no longer as it
  // was when they opened it (its size, modification time, inode or device differ: rewritten in
  // place, replaced or removed), as a CP932 path; nothing when every one is unchanged or the
  // connection is closed. Asked after the last read, a change means the rows the queries gave
  // may mix the table's states with each other and with the other tables.
  std::optional<std::string> ChangedTableFile() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// An SQL query bound to a connection name (or, failing that, taken as a folder path). Open runs
// the statement; the rows are then read in the statement's order.
class TQuery {
 public:
  TQuery();
  ~TQuery();
  TQuery(const TQuery&) = delete;
  TQuery& operator=(const TQuery&) = delete;

  void SetDatabaseName(std::string name);
  std::vector<std::string>& SQL();  // the statement as lines; change only while closed

  void Prepare();
  void Open();
  void Close();
  bool Active() const;

  void First();
  void Next();
  bool Eof() const;
  int RecordCount() const;

  // Key field names joined by ";", one value per field; exact, case-sensitive match. On a match
  // the first matching row in the query's order becomes current and the result is true; otherwise
  // the cursor stays and the result is false. Indexed: the first Locate on a list of key fields
  // builds a hash index of them, later ones do not scan the rows. A value is compared in its
  // field's kind: numbers by value (1 finds 1.0), text byte by byte; null and "" find blanks.
  bool Locate(std::string_view key_fields, const std::vector<Variant>& values);

  // The first column of that name in the select list; EDatabaseError when there is none.
  TField& FieldByName(std::string_view name);
  TField& Fields(int index);
  int FieldCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

struct TFieldDef {
  std::string Name;
  TFieldType DataType = TFieldType::ftUnknown;
  int Size = 0;  // characters of an ftString
  bool Required = false;
};

enum TIndexOption : unsigned {
  ixPrimary = 1,
  ixUnique = 2,
  ixCaseInsensitive = 4,
  ixDescending = 8,
};

struct TIndexDef {
  std::string Name;
  std::string Fields;  // field names joined by ";"
  unsigned Options = 0;
};

// A Paradox table for appending records (and for creating it). The database name is a connection
// name or a folder path; the table name is the file name, with or without ".db".
class TTable {
 public:
  TTable();
  ~TTable();  // cancels a pending record and closes
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;

  void SetDatabaseName(std::string name);
  void SetTableName(std::string name);
  void SetExclusive(bool exclusive);

  std::vector<TFieldDef>& FieldDefs();
  std::vector<TIndexDef>& IndexDefs();
  // From FieldDefs and IndexDefs; replaces nothing: an existing file is an EDBEngineError. A
  // primary index must name the leading fields in order (Paradox keys those); other indexes are
  // accepted but not written.
  void CreateTable();

  // With exclusive use the table stays locked until Close: EDBEngineError while another process
  // (or object) has it open. Without, each Post locks it for the moment of the write.
  void Open();
  void Close();
  bool Active() const;

  void Append();  // starts a new, blank record
  void Post();    // writes it (EDBEngineError on failure, which leaves the table as it was)
  void Cancel();

  TField& FieldByName(std::string_view name);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The present version of a table's file, the file found as a query finds it: callers that keep
// what they read from a table compare stamps to know whether the file has changed since. A file
// changed twice within one tick of the file system's clock, keeping its size and inode, looks
// unchanged: `settled` says that its modification time lies well in the past (2 seconds), so
// that no later change can share it.
struct TableStamp {
  bool found = false;  // false: the folder holds no such table, or its name is ambiguous
  std::string path;
  uint64_t size = 0;
  int64_t mtime_ns = 0;
  uint64_t inode = 0;
  bool settled = false;
  friend bool operator==(const TableStamp&, const TableStamp&) = default;
};
TableStamp StampOfTable(std::string_view folder, std::string_view table);

// Tests only: called with the file (CP932 path) each time a session has read a table file, before
// any of its rows is used, so that a test can change a table in the middle of a reading. An empty
// function removes the hook.
void SetTableReadHook(std::function<void(const std::string& file)> hook);

}  // namespace nc16::db
