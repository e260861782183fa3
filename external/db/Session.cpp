#include "external/db/Session.h"

#include <sys/stat.h>

#include <atomic>
#include <mutex>

#include "external/db/Db.h"
#include "external/db/LoadedTable.h"
#include "external/db/Messages.h"
#include "external/db/PxColumns.h"
#include "external/db/TableFiles.h"
#include "external/db/VirtualTable.h"
#include "platform/Cp932.h"

namespace nc16::db::detail {
namespace {

std::atomic<TableMode> g_mode{TableMode::kVirtual};

std::string QuoteIdent(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    out.push_back(c);
    if (c == '"') out.push_back('"');
  }
  return out + "\"";
}

void Exec(sqlite3* db, const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "?";
    sqlite3_free(err);
    throw EDBEngineError(MsgSqlError(msg));
  }
}

bool StampOf(const std::filesystem::path& file, FileStamp& stamp) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return false;
  stamp.size = static_cast<uintmax_t>(st.st_size);
  stamp.mtime_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  stamp.inode = static_cast<uint64_t>(st.st_ino);
  return true;
}

// Binds one field to the INSERT of the copy.
struct BindSink {
  sqlite3_stmt* stmt;
  int index;
  void Null() { sqlite3_bind_null(stmt, index); }
  void Int(int64_t v) { sqlite3_bind_int64(stmt, index, v); }
  void Float(double v) { sqlite3_bind_double(stmt, index, v); }
  void Text(std::string_view v, bool) {
    sqlite3_bind_text(stmt, index, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  }
  void Blob(std::string_view v, bool) {
    sqlite3_bind_blob(stmt, index, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  }
};

struct Registry {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<Session>> open;  // by folded name
};

Registry& TheRegistry() {
  static Registry r;
  return r;
}

}  // namespace

TableMode DefaultTableMode() {
  return g_mode.load();
}
void SetDefaultTableMode(TableMode mode) {
  g_mode.store(mode);
}

Session::Session(std::string folder, TableMode mode) : folder_(std::move(folder)), mode_(mode) {
  if (sqlite3_open_v2(":memory:", &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw EDBEngineError(MsgSqlError(msg));
  }
  if (mode_ == TableMode::kVirtual) RegisterParadoxModule(db_, this);
}

Session::~Session() {
  tables_.clear();
  sqlite3_close_v2(db_);
}

std::shared_ptr<LoadedTable> Session::Loaded(std::string_view sql_name) const {
  const auto it = tables_.find(std::string(sql_name));
  return it == tables_.end() ? nullptr : it->second;
}

void Session::Attach(const TranslatedSql& sql) {
  for (const TableRef& ref : sql.tables) {
    const auto file = FindTableFile(folder_, ref.file);
    FileStamp stamp;
    if (!file || !StampOf(*file, stamp)) throw EDBEngineError(MsgTableMissing(ref.file, folder_));
    if (const auto it = tables_.find(ref.sql_name); it != tables_.end()) {
      const LoadedTable& t = *it->second;
      if (t.stamp_size == stamp.size && t.stamp_mtime == stamp.mtime_ns &&
          t.stamp_inode == stamp.inode) {
        continue;
      }
      Exec(db_, "DROP TABLE " + QuoteIdent(ref.sql_name));
      tables_.erase(it);
    }
    Load(ref, *file, stamp);
  }
}

void Session::Load(const TableRef& ref, const std::filesystem::path& file, const FileStamp& stamp) {
  auto loaded = std::make_shared<LoadedTable>();
  loaded->file_name = FromNativePath(file.filename());
  loaded->stamp_size = stamp.size;
  loaded->stamp_mtime = stamp.mtime_ns;
  loaded->stamp_inode = stamp.inode;
  try {
    loaded->table = std::make_unique<px::Table>(file);
  } catch (const px::TableLockedError&) {
    throw EDBEngineError(MsgTableBusy(ref.file));
  } catch (const px::ParadoxError& e) {
    throw EDBEngineError(MsgTableUnreadable(ref.file, e.what()));
  }
  for (const px::FieldInfo& f : loaded->table->fields()) {
    loaded->names.push_back(f.name);
    loaded->types.push_back(f.type);
  }
  tables_[ref.sql_name] = loaded;
  try {
    if (mode_ == TableMode::kVirtual) {
      try {
        loaded->FindOrder();
      } catch (const px::ParadoxError& e) {
        throw EDBEngineError(MsgTableUnreadable(ref.file, e.what()));
      }
      Exec(db_, "CREATE VIRTUAL TABLE " + QuoteIdent(ref.sql_name) + " USING paradox(" +
                    QuoteIdent(ref.sql_name) + ")");
    } else {
      CopyIntoSqlite(ref.sql_name, *loaded);
      loaded->table.reset();  // SQLite holds the rows now
    }
  } catch (...) {
    tables_.erase(ref.sql_name);
    throw;
  }
}

void Session::CopyIntoSqlite(const std::string& sql_name, const LoadedTable& table) {
  std::string ddl = "CREATE TABLE " + QuoteIdent(sql_name) + "(";
  std::string insert = "INSERT INTO " + QuoteIdent(sql_name) + " VALUES(";
  for (size_t i = 0; i < table.names.size(); ++i) {
    ddl += (i ? ", " : "") + QuoteIdent(table.names[i]) + " " + DeclTypeOf(table.types[i]);
    insert += i ? ",?" : "?";
  }
  Exec(db_, ddl + ")");
  Exec(db_, "BEGIN");
  sqlite3_stmt* stmt = nullptr;
  try {
    if (sqlite3_prepare_v2(db_, (insert + ")").c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      throw EDBEngineError(MsgSqlError(sqlite3_errmsg(db_)));
    }
    const int n = static_cast<int>(table.types.size());
    table.table->ForEach([&](const px::Record& record) {
      for (int f = 0; f < n; ++f) {
        BindSink sink{stmt, f + 1};
        EmitField(record, f, table.types[static_cast<size_t>(f)], sink);
      }
      if (sqlite3_step(stmt) != SQLITE_DONE) throw EDBEngineError(MsgSqlError(sqlite3_errmsg(db_)));
      sqlite3_reset(stmt);
    });
    sqlite3_finalize(stmt);
    stmt = nullptr;
    // SQLite builds no automatic index for the right side of a RIGHT or FULL join; the table's
    // own primary key, which the payroll joins use, keeps those joins from scanning.
    const int keys = table.table->header().key_field_count;
    if (keys > 0 && static_cast<size_t>(keys) <= table.names.size()) {
      std::string cols;
      for (int k = 0; k < keys; ++k) {
        if (k) cols += ',';
        cols += QuoteIdent(table.names[static_cast<size_t>(k)]);
      }
      Exec(db_, "CREATE INDEX " + QuoteIdent(sql_name + "$key") + " ON " + QuoteIdent(sql_name) +
                    "(" + cols + ")");
    }
    Exec(db_, "COMMIT");
  } catch (const px::ParadoxError& e) {
    sqlite3_finalize(stmt);
    Exec(db_, "ROLLBACK");
    Exec(db_, "DROP TABLE IF EXISTS " + QuoteIdent(sql_name));
    throw EDBEngineError(MsgTableUnreadable(table.file_name, e.what()));
  } catch (...) {
    sqlite3_finalize(stmt);
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_exec(db_, ("DROP TABLE IF EXISTS " + QuoteIdent(sql_name)).c_str(), nullptr, nullptr,
                 nullptr);
    throw;
  }
}

std::shared_ptr<Session> SessionFor(std::string_view database_name) {
  {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    const auto it = r.open.find(FoldCaseCp932(database_name));
    if (it != r.open.end()) return it->second;
  }
  if (!FolderExists(database_name)) throw EDBEngineError(MsgFolderMissing(database_name));
  return std::make_shared<Session>(std::string(database_name));
}

std::string FolderFor(std::string_view database_name) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  const auto it = r.open.find(FoldCaseCp932(database_name));
  return it != r.open.end() ? it->second->Folder() : std::string(database_name);
}

void RegisterConnection(const std::string& name, std::shared_ptr<Session> session) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  if (!r.open.emplace(FoldCaseCp932(name), std::move(session)).second) {
    throw EDBEngineError(MsgNameInUse(name));
  }
}

void UnregisterConnection(const std::string& name) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.open.erase(FoldCaseCp932(name));
}

bool ConnectionNameInUse(const std::string& name) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  return r.open.count(FoldCaseCp932(name)) > 0;
}

}  // namespace nc16::db::detail
