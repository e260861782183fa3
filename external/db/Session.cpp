#include "external/db/Session.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>

#include "external/db/Db.h"
#include "external/db/LoadedTable.h"
#include "external/db/Messages.h"
#include "external/db/PxColumns.h"
#include "external/db/TableFiles.h"
#include "external/db/VirtualTable.h"
#include "platform/Cp932.h"
#include "platform/FileStamp.h"

namespace nc16::db::detail {
namespace {

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

struct Registry {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<Session>> open;  // by folded name
};

Registry& TheRegistry() {
  static Registry r;
  return r;
}

sqlite3* OpenMemoryDb() {
  // Nothing reads SQLite's count of its memory: without it, none of its many small allocations
  // takes the global lock that guards the count. Set before the engine's first use.
  static const bool configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
  (void)configured;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(":memory:", &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw EDBEngineError(MsgSqlError(msg));
  }
  return db;
}

// Idle connections of virtual-table sessions. A connection holds no rows of its own, only the
// declarations of its virtual tables; the next session on it reuses a declaration whose fields
// are the same instead of declaring the table again, which for a folder of a dozen tables is
// most of the cost of a fresh connection.
struct Pool {
  static constexpr size_t kIdle = 4;
  std::mutex mutex;
  std::vector<std::unique_ptr<Connection>> idle;
};

Pool& ThePool() {
  static Pool* p = new Pool;  // never destroyed: sessions may end during static destruction
  return *p;
}

}  // namespace

struct Connection {
  sqlite3* db = nullptr;
  std::map<std::string, DeclaredTable> declared;  // virtual tables, by SQLite name

  Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { sqlite3_close_v2(db); }
};

const DeclaredTable* FindDeclared(const Connection& conn, const std::string& sql_name) {
  const auto it = conn.declared.find(sql_name);
  return it == conn.declared.end() ? nullptr : &it->second;
}

bool StampOf(const std::filesystem::path& file, FileStamp& stamp) {
  const auto found = platform::StampOfFile(file);
  if (!found) return false;
  stamp.size = found->Size;
  stamp.mtime_ns = found->ModifiedNs;
  stamp.inode = found->FileId;
  return true;
}

Session::Session(std::string folder) : folder_(std::move(folder)) {
  {
    Pool& pool = ThePool();
    std::lock_guard lock(pool.mutex);
    if (!pool.idle.empty()) {
      conn_ = std::move(pool.idle.back());
      pool.idle.pop_back();
      return;
    }
  }
  conn_ = std::make_unique<Connection>();
  conn_->db = OpenMemoryDb();
  RegisterParadoxModule(conn_->db, conn_.get());
}

Session::~Session() {
  for (auto& [name, declared] : conn_->declared)
    declared.slot->table.reset();
  tables_.clear();
  Pool& pool = ThePool();
  std::lock_guard lock(pool.mutex);
  if (pool.idle.size() < Pool::kIdle) pool.idle.push_back(std::move(conn_));
}

sqlite3* Session::Db() const {
  return conn_->db;
}

std::optional<std::filesystem::path> Session::TableFile(const std::string& name) {
  if (const auto it = files_.find(name); it != files_.end()) return it->second;
  if (!names_) names_.emplace(ResolvedPath(folder_));
  std::optional<std::filesystem::path> file;
  if (auto listed = names_->RegularFile(TableFileName(name)))
    file = NativePath(*listed);
  else
    file = FindTableFile(folder_, name);
  if (file) files_.emplace(name, *file);
  return file;
}

void Session::Attach(const TranslatedSql& sql) {
  for (const TableRef& ref : sql.tables) {
    auto file = TableFile(ref.file);
    FileStamp stamp;
    bool stamped = file && StampOf(*file, stamp);
    if (file && !stamped) {
      // Gone since it was found (renamed, say): look for it again, in a fresh listing.
      files_.erase(ref.file);
      names_.reset();
      file = TableFile(ref.file);
      stamped = file && StampOf(*file, stamp);
    }
    if (!stamped) throw EDBEngineError(MsgTableMissing(ref.file, folder_));
    if (const auto it = tables_.find(ref.sql_name); it != tables_.end()) {
      const LoadedTable& t = *it->second;
      if (t.stamp_size == stamp.size && t.stamp_mtime == stamp.mtime_ns &&
          t.stamp_inode == stamp.inode) {
        continue;
      }
      conn_->declared.at(ref.sql_name).slot->table.reset();
      tables_.erase(it);
    }
    Load(ref, *file, stamp);
  }
}

std::shared_ptr<LoadedTable> Session::Loaded(const std::string& sql_name) const {
  const auto it = tables_.find(sql_name);
  return it == tables_.end() ? nullptr : it->second;
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
  for (const px::SourceFile& source : loaded->table->Sources()) {
    const auto same = [&](const px::SourceFile& s) { return s.path == source.path; };
    if (std::none_of(sources_.begin(), sources_.end(), same)) sources_.push_back(source);
  }
  if (TableReadHook()) TableReadHook()(FromNativePath(file));
  for (const px::FieldInfo& f : loaded->table->fields()) {
    loaded->names.push_back(f.name);
    loaded->types.push_back(f.type);
  }
  tables_[ref.sql_name] = loaded;
  try {
    try {
      loaded->FindOrder();
    } catch (const px::ParadoxError& e) {
      throw EDBEngineError(MsgTableUnreadable(ref.file, e.what()));
    }
    std::string ddl = VirtualTableDdl(*loaded);
    auto& declared = conn_->declared;
    if (const auto it = declared.find(ref.sql_name); it != declared.end()) {
      if (it->second.ddl == ddl) {
        it->second.slot->table = loaded;  // declared alike before: show this table
        return;
      }
      Exec(conn_->db, "DROP TABLE " + QuoteIdent(ref.sql_name));
      declared.erase(it);
    }
    declared[ref.sql_name] = {std::move(ddl), std::make_shared<TableSlot>(TableSlot{loaded})};
    try {
      Exec(conn_->db, "CREATE VIRTUAL TABLE " + QuoteIdent(ref.sql_name) + " USING paradox(" +
                          QuoteIdent(ref.sql_name) + ")");
    } catch (...) {
      declared.erase(ref.sql_name);
      throw;
    }
  } catch (...) {
    tables_.erase(ref.sql_name);
    throw;
  }
}

std::optional<std::filesystem::path> Session::ChangedSource() const {
  for (const px::SourceFile& source : sources_) {
    const std::optional<px::FileIdentity> now = px::IdentityOf(source.path);
    if (!now || *now != source.identity) return source.path;
  }
  return std::nullopt;
}

std::function<void(const std::string&)>& TableReadHook() {
  static std::function<void(const std::string&)> hook;
  return hook;
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

namespace nc16::db {

TableStamp StampOfTable(std::string_view folder, std::string_view table) {
  TableStamp out;
  std::optional<std::filesystem::path> file;
  try {
    file = detail::FindTableFile(folder, table);
  } catch (const EDatabaseError&) {
    return out;  // a name that cannot be resolved: the query will say why
  }
  detail::FileStamp stamp;
  if (!file || !detail::StampOf(*file, stamp)) return out;
  out.found = true;
  out.path = file->string();
  out.size = stamp.size;
  out.mtime_ns = stamp.mtime_ns;
  out.inode = stamp.inode;
  const int64_t now_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
  out.settled = now_ns - stamp.mtime_ns >= int64_t{2000000000};
  return out;
}

}  // namespace nc16::db
