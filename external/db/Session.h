#pragma once
// A folder of Paradox tables as SQLite sees it. A session owns one in-memory SQLite connection;
// every table a statement names is read from its file on first use and kept until the file
// changes (size, modification time or inode), so the several queries of one connection share
// one read of each table.
//
// Two ways to put a table before SQLite (bench/db_bench compares them): copying its records into
// an SQLite table (with an index on the primary key), or a virtual table that decodes fields
// straight from the loaded file, with a hash index per column for the equality lookups of joins
// and no sort for an ORDER BY on the leading numeric key. Virtual tables are the default: with
// 10,000 employees the four queries of one export take about half the time (no copy to make),
// and a query on a copied table only wins once its tables are loaded, which an export never
// reuses.

#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "external/db/SqlTranslate.h"
#include "external/paradox/ParadoxTable.h"

namespace nc16::db::detail {

enum class TableMode { kCopy, kVirtual };

// The mode new sessions use; the benchmark switches it to compare the two.
TableMode DefaultTableMode();
void SetDefaultTableMode(TableMode mode);

struct FileStamp {
  uintmax_t size = 0;
  int64_t mtime_ns = 0;
  uint64_t inode = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

struct LoadedTable;  // Session.cpp

class Session {
 public:
  explicit Session(std::string folder, TableMode mode = DefaultTableMode());
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const std::string& Folder() const { return folder_; }
  sqlite3* Db() const { return db_; }

  // Makes every table of the statement present and current; raises EDBEngineError when a file
  // is missing, locked or unreadable.
  void Attach(const TranslatedSql& sql);

  // For the virtual-table module: the loaded table behind an SQLite name.
  std::shared_ptr<LoadedTable> Loaded(std::string_view sql_name) const;

 private:
  void Load(const TableRef& ref, const std::filesystem::path& file, const FileStamp& stamp);
  void CopyIntoSqlite(const std::string& sql_name, const LoadedTable& table);

  std::string folder_;
  TableMode mode_;
  sqlite3* db_ = nullptr;
  std::map<std::string, std::shared_ptr<LoadedTable>> tables_;  // by SQLite name
};

// The session a database name stands for: the open connection of that name, or else a fresh
// session on the name taken as a folder path. Raises EDBEngineError when it is neither.
std::shared_ptr<Session> SessionFor(std::string_view database_name);

// The folder a database name stands for: the open connection's folder, or the name itself.
std::string FolderFor(std::string_view database_name);

// The registry of open named connections (TDatabase).
void RegisterConnection(const std::string& name, std::shared_ptr<Session> session);
void UnregisterConnection(const std::string& name);
bool ConnectionNameInUse(const std::string& name);

}  // namespace nc16::db::detail
