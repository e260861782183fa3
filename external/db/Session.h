#pragma once
// A folder of Paradox tables as SQLite sees it. A session owns one in-memory SQLite connection;
// every table a statement names is read from its file on first use and kept until the file
// changes (size, modification time or inode), so the several queries of one connection share
// one read of each table.
//
// A table is put before SQLite as a virtual table that decodes fields straight from the loaded
// file, with a hash index per column for the equality lookups of joins and no sort for an ORDER
// BY on the leading numeric key. (Copying the records into SQLite tables instead took about twice
// as long for the four queries of a 10,000-employee export, and an export never reuses them.)
//
// A virtual-table session ends by handing its connection to a small pool of idle ones, with its
// table declarations but none of its tables: the next session (the batch opens one per data set
// and per era look-up) declares again only a table whose fields differ, and otherwise points the
// declaration at the table it loads itself.

#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "external/db/SqlTranslate.h"
#include "external/paradox/ParadoxTable.h"
#include "platform/Platform.h"

namespace nc16::db::detail {

struct FileStamp {
  uintmax_t size = 0;
  int64_t mtime_ns = 0;
  uint64_t inode = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The size, modification time and inode of `file`; false when it cannot be read.
bool StampOf(const std::filesystem::path& file, FileStamp& stamp);

struct LoadedTable;  // LoadedTable.h
struct Connection;   // Session.cpp

// What one virtual table of a connection shows: the loaded table of the session that holds the
// connection now, or nothing between sessions.
struct TableSlot {
  std::shared_ptr<LoadedTable> table;
};

class Session {
 public:
  explicit Session(std::string folder);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const std::string& Folder() const { return folder_; }
  sqlite3* Db() const;

  // Makes every table of the statement present and current; raises EDBEngineError when a file
  // is missing, locked or unreadable.
  void Attach(const TranslatedSql& sql);

  // The table a statement of the session reads as `sql_name` (attached before); null when none.
  std::shared_ptr<LoadedTable> Loaded(const std::string& sql_name) const;

  // The first file the session has read tables from that is no longer as it was when first
  // opened (rewritten, replaced or removed); nothing when every one is unchanged.
  std::optional<std::filesystem::path> ChangedSource() const;

 private:
  void Load(const TableRef& ref, const std::filesystem::path& file, const FileStamp& stamp);

  // The file of a table: found once per session and name, looked for again when it is gone.
  std::optional<std::filesystem::path> TableFile(const std::string& name);

  std::string folder_;
  std::unique_ptr<Connection> conn_;
  std::map<std::string, std::shared_ptr<LoadedTable>> tables_;  // by SQLite name
  std::map<std::string, std::filesystem::path> files_;          // by name as written
  // The folder's entries, listed at the first look for a table and again after a file has gone.
  std::optional<platform::FolderNames> names_;
  // Every file read, as it was when first opened; a later reload of a changed table leaves the
  // first identity here, so that the change is still seen at the end.
  std::vector<px::SourceFile> sources_;
};

// The declared virtual table of `sql_name` on a connection: its slot and its declaration.
struct DeclaredTable {
  std::string ddl;  // the CREATE TABLE text handed to sqlite3_declare_vtab
  std::shared_ptr<TableSlot> slot;
};
const DeclaredTable* FindDeclared(const Connection& conn, const std::string& sql_name);

// The hook of SetTableReadHook (Db.h); empty when none is set.
std::function<void(const std::string&)>& TableReadHook();

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
