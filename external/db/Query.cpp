// TQuery: runs the statement on the session's SQLite connection, keeps the result in memory as
// far as the callers need it (they step forward, go back to the first row, count rows and
// locate), and reads fields from the current row.

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

#include "external/db/Db.h"
#include "external/db/FieldValue.h"
#include "external/db/LoadedTable.h"
#include "external/db/LocateIndex.h"
#include "external/db/Messages.h"
#include "external/db/NoCase.h"
#include "external/db/PxColumns.h"
#include "external/db/RowSet.h"
#include "external/db/Session.h"
#include "external/db/SqlTranslate.h"

namespace nc16::db {
namespace {

using detail::Cell;
using detail::CellKind;
using detail::CellRows;
using detail::CellView;
using detail::ColumnInfo;
using detail::FieldRead;
using detail::RowSet;
using detail::TableRows;

using detail::NoCaseEq;
using detail::NoCaseHash;
using detail::TrimSpaces;

}  // namespace

struct TQuery::Impl {
  class Field final : public TField {
   public:
    Field(Impl* q, int col) : q_(q), col_(col) {}
    const std::string& FieldName() const override { return Info().name; }
    TFieldType DataType() const override { return Info().type; }
    bool IsNull() const override { return View().kind == CellKind::kNull; }
    std::string AsString() const override { return Read().AsString(); }
    int32_t AsInteger() const override { return Read().AsInteger(); }
    bool AsBoolean() const override { return Read().AsBoolean(); }
    double AsFloat() const override { return Read().AsFloat(); }
    TDateTime AsDateTime() const override { return Read().AsDateTime(); }
    Currency AsCurrency() const override { return Read().AsCurrency(); }
    void SetAsString(std::string_view) override { ReadOnly(); }
    void SetAsInteger(int32_t) override { ReadOnly(); }
    void SetAsBoolean(bool) override { ReadOnly(); }
    void SetAsFloat(double) override { ReadOnly(); }
    void SetAsDateTime(TDateTime) override { ReadOnly(); }
    void SetAsCurrency(Currency) override { ReadOnly(); }
    void Clear() override { ReadOnly(); }

   private:
    const ColumnInfo& Info() const { return q_->columns[static_cast<size_t>(col_)]; }
    CellView View() const {
      // An empty result reads as a row of nulls.
      if (q_->Held() == 0) return {};
      return q_->Source().View(q_->cur - q_->base, col_, scratch_);
    }
    FieldRead Read() const { return FieldRead{Info().name, Info().type, View()}; }
    [[noreturn]] void ReadOnly() const { throw EDatabaseError(detail::MsgReadOnly(Info().name)); }

    Impl* q_;
    int col_;
    mutable std::string scratch_;  // a value's bytes that the table does not keep decoded
  };

  struct LocateEntry {
    std::string key_fields;  // as the caller wrote them
    std::vector<int> columns;
    std::unique_ptr<detail::LocateIndex> index;
  };

  std::string database_name;
  std::vector<std::string> sql;
  bool active = false;

  // What Prepare made, taken by the next Open instead of parsing and planning the text again:
  // the statement, the session it was made on and its translation.
  sqlite3_stmt* ready = nullptr;
  std::shared_ptr<detail::Session> ready_on;
  detail::TranslatedSql ready_sql;
  void DropReady() {
    if (ready != nullptr) sqlite3_finalize(ready);
    ready = nullptr;
    ready_on.reset();
  }

  std::vector<ColumnInfo> columns;
  RowSet rows;
  CellRows cell_rows{rows};
  // A statement that selects every column of one table and nothing else keeps its result as the
  // numbers of the table's records, in the result's order, and reads the fields from the table:
  // four bytes a row instead of a copy of every value.
  std::unique_ptr<TableRows> records;
  size_t cur = 0;
  bool eof = true;
  std::vector<std::unique_ptr<Field>> fields;
  std::unordered_map<std::string, int, NoCaseHash, NoCaseEq> by_name;  // first occurrence
  // The columns of the names asked for so far, by where the caller's text lies: a reader asks
  // for the same few names on every row, from its own constants, and finds each here without
  // hashing it again. A slot is trusted only when the text is byte for byte the one stored.
  struct CachedName {
    const char* data = nullptr;
    std::string name;
    int column = -1;
  };
  std::array<CachedName, 128> name_cache;
  std::vector<LocateEntry> locates;

  // The rows come from the statement as the cursor moves forward: `rows` holds those from row
  // `base` on, and a step forward drops the ones behind, so a query read once from first to
  // last holds one row at a time. Counting the rows, locating, or going back to the first row
  // after the window moved on reads the whole result (running the statement again if needed).
  // A statement with a column of no declared type is read whole at once: its values tell the
  // type.
  std::shared_ptr<detail::Session> session;
  sqlite3_stmt* live = nullptr;  // the statement still being stepped; null once all rows are in
  size_t base = 0;
  RowSet spare;  // the window's next row is read into it

  ~Impl() {
    Finalize();
    DropReady();
  }
  void Finalize() {
    if (live != nullptr) sqlite3_finalize(live);
    live = nullptr;
  }
  // The rows held now, and how many: those of `rows`, or all of `records`.
  const detail::RowSource& Source() const {
    return records ? static_cast<const detail::RowSource&>(*records) : cell_rows;
  }
  size_t Held() const { return records ? records->Rows() : rows.Rows(); }

  bool StepInto(RowSet& into);  // false at the end of the result
  void FetchAll();              // all rows in `rows`, from the first
  void Restart();               // the statement again from its first row

  std::string Text() const {
    std::string s;
    for (const auto& line : sql) {
      s += line;
      s += '\n';
    }
    return s;
  }

  void Reset() {
    Finalize();
    session.reset();
    base = 0;
    columns.clear();
    rows = RowSet();
    spare = RowSet();
    records.reset();
    cur = 0;
    eof = true;
    fields.clear();
    by_name.clear();
    for (CachedName& slot : name_cache) {
      if (slot.data == nullptr) continue;  // most of the slots were never used
      slot.data = nullptr;
      slot.name.clear();
      slot.column = -1;
    }
    locates.clear();
    active = false;
  }

  void Run();
  int ColumnOf(std::string_view name) const {
    const auto it = by_name.find(name);
    if (it == by_name.end()) throw EDatabaseError(detail::MsgFieldMissing(name));
    return it->second;
  }
  int CachedColumnOf(std::string_view name) {
    CachedName& slot =
        name_cache[(reinterpret_cast<uintptr_t>(name.data()) >> 3) % name_cache.size()];
    if (slot.data == name.data() && slot.name == name) return slot.column;
    const int column = ColumnOf(name);
    slot.data = name.data();
    slot.name.assign(name);
    slot.column = column;
    return column;
  }
  LocateEntry& EntryFor(std::string_view key_fields);
};

namespace {

// Prepares `text` on the session's connection; raises EDBEngineError with SQLite's message.
// A query is one statement: text after it (but for semicolons and blanks) is refused, where
// SQLite would silently ignore it.
sqlite3_stmt* PrepareOn(detail::Session& session, const std::string& text) {
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(session.Db(), text.c_str(), static_cast<int>(text.size()), &stmt, &tail) !=
      SQLITE_OK) {
    std::string msg = sqlite3_errmsg(session.Db());
    sqlite3_finalize(stmt);
    throw EDBEngineError(detail::MsgSqlError(msg));
  }
  const std::string_view rest(tail, static_cast<size_t>(text.data() + text.size() - tail));
  if (rest.find_first_not_of("; \t\r\n") != std::string_view::npos) {
    sqlite3_finalize(stmt);
    throw EDBEngineError(detail::MsgTextAfterStatement());
  }
  return stmt;
}

struct StmtGuard {
  sqlite3_stmt* stmt;
  ~StmtGuard() { sqlite3_finalize(stmt); }
};

TFieldType TypeOfValue(CellKind kind) {
  switch (kind) {
    case CellKind::kInt:
      return TFieldType::ftInteger;
    case CellKind::kFloat:
      return TFieldType::ftFloat;
    case CellKind::kText:
      return TFieldType::ftString;
    case CellKind::kBlob:
      return TFieldType::ftBlob;
    case CellKind::kNull:
      break;
  }
  return TFieldType::ftUnknown;
}

// The statement that reads the records a statement selecting every column of one table names:
// the same text with the row number in place of "*". SQLite plans it as the original (the plan
// does not depend on the columns selected), so the records come in the same order, ties
// included. Nothing for any other statement, or when each of SQLite's names for the row number
// is taken by a field.
std::optional<std::string> RowNumberSql(const detail::Session& session,
                                        const detail::TranslatedSql& translated) {
  if (!translated.whole_records_star) return std::nullopt;
  const std::shared_ptr<detail::LoadedTable> table =
      session.Loaded(translated.tables.front().sql_name);
  if (!table) return std::nullopt;
  for (const char* name : {"rowid", "oid", "_rowid_"}) {
    const auto taken = [&](const std::string& field) { return detail::EqualsNoCase(field, name); };
    if (std::none_of(table->names.begin(), table->names.end(), taken)) {
      std::string sql = translated.sql;
      sql.replace(*translated.whole_records_star, 1, name);
      return sql;
    }
  }
  return std::nullopt;
}

// The columns of such a statement, as SQLite names and declares those of "*": the table's fields.
std::vector<ColumnInfo> ColumnsOf(const detail::LoadedTable& table) {
  std::vector<ColumnInfo> columns(table.names.size());
  for (size_t c = 0; c < columns.size(); ++c) {
    columns[c].name = table.names[c];
    columns[c].type = detail::FieldTypeOfDecl(detail::DeclTypeOf(table.types[c]));
  }
  return columns;
}

// The records the row-number statement `stmt` yields, in its order.
std::unique_ptr<TableRows> RecordsOf(detail::Session& session,
                                     std::shared_ptr<detail::LoadedTable> table,
                                     sqlite3_stmt* stmt) {
  std::vector<uint32_t> numbers;
  numbers.reserve(table->table->RecordCount());
  for (int rc; (rc = sqlite3_step(stmt)) != SQLITE_DONE;) {
    if (rc != SQLITE_ROW) throw EDBEngineError(detail::MsgSqlError(sqlite3_errmsg(session.Db())));
    numbers.push_back(static_cast<uint32_t>(sqlite3_column_int64(stmt, 0) - 1));
  }
  return std::make_unique<TableRows>(std::move(table), std::move(numbers));
}

}  // namespace

bool TQuery::Impl::StepInto(RowSet& into) {
  const int rc = sqlite3_step(live);
  if (rc == SQLITE_DONE) {
    Finalize();
    return false;
  }
  if (rc != SQLITE_ROW) {
    std::string msg = sqlite3_errmsg(session->Db());
    Finalize();
    throw EDBEngineError(detail::MsgSqlError(msg));
  }
  const int n = into.Columns();
  for (int c = 0; c < n; ++c) {
    // The session's connection is single-threaded (NOMUTEX), where the column's value object
    // may be read directly: one call per cell instead of two or three.
    sqlite3_value* v = sqlite3_column_value(live, c);
    switch (sqlite3_value_type(v)) {
      case SQLITE_INTEGER:
        into.AddInt(sqlite3_value_int64(v));
        break;
      case SQLITE_FLOAT:
        into.AddFloat(sqlite3_value_double(v));
        break;
      case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        into.AddText(std::string_view(p, static_cast<size_t>(sqlite3_value_bytes(v))));
        break;
      }
      case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_value_blob(v));
        const auto len = static_cast<size_t>(sqlite3_value_bytes(v));
        into.AddBlob(len ? std::string_view(p, len) : std::string_view());
        break;
      }
      default:
        into.AddNull();
        break;
    }
  }
  return true;
}

void TQuery::Impl::Restart() {
  const detail::TranslatedSql translated = detail::TranslateLocalSql(Text());
  session->Attach(translated);
  Finalize();
  live = PrepareOn(*session, translated.sql);
  rows = RowSet(static_cast<int>(columns.size()));
  base = 0;
}

void TQuery::Impl::FetchAll() {
  if (base > 0) Restart();
  while (live != nullptr && StepInto(rows)) {
  }
}

void TQuery::Impl::Run() {
  // A query on a folder path has a session of its own: the one it was prepared on.
  std::shared_ptr<detail::Session> on =
      ready != nullptr && !detail::ConnectionNameInUse(database_name)
          ? ready_on
          : detail::SessionFor(database_name);
  detail::TranslatedSql translated;
  StmtGuard guard{nullptr};
  if (ready != nullptr && on == ready_on) {
    translated = std::move(ready_sql);
    guard.stmt = std::exchange(ready, nullptr);
    ready_on.reset();
    on->Attach(translated);  // a table changed since is read again
  } else {
    DropReady();
    translated = detail::TranslateLocalSql(Text());
    on->Attach(translated);
  }
  // A statement of all of one table's fields runs as its row-number statement alone; what was
  // prepared before a table was read again is prepared anew when it no longer fits.
  const std::optional<std::string> row_numbers = RowNumberSql(*on, translated);
  const std::string& text = row_numbers ? *row_numbers : translated.sql;
  if (guard.stmt != nullptr && sqlite3_sql(guard.stmt) != text) {
    sqlite3_finalize(guard.stmt);
    guard.stmt = nullptr;
  }
  if (guard.stmt == nullptr) guard.stmt = PrepareOn(*on, text);
  sqlite3_stmt* stmt = guard.stmt;

  std::vector<ColumnInfo> cols;
  std::unique_ptr<TableRows> whole;
  bool all_declared = true;
  if (row_numbers) {
    std::shared_ptr<detail::LoadedTable> table = on->Loaded(translated.tables.front().sql_name);
    cols = ColumnsOf(*table);
    whole = RecordsOf(*on, std::move(table), stmt);
  } else {
    cols.resize(static_cast<size_t>(sqlite3_column_count(stmt)));
    for (size_t c = 0; c < cols.size(); ++c) {
      const int column = static_cast<int>(c);
      const char* name = sqlite3_column_name(stmt, column);
      cols[c].name = name ? name : "";
      cols[c].type = detail::FieldTypeOfDecl(sqlite3_column_decltype(stmt, column));
      if (cols[c].type == TFieldType::ftUnknown) all_declared = false;
    }
  }
  const int n = static_cast<int>(cols.size());

  Reset();
  session = std::move(on);
  columns = std::move(cols);
  rows = RowSet(n);
  spare = RowSet(n);
  if (whole) {
    records = std::move(whole);
  } else {
    live = std::exchange(guard.stmt, nullptr);
    if (all_declared) {
      StepInto(rows);  // the first row, or the end
    } else {
      FetchAll();
      // Expression columns have no declared type: their values tell.
      for (int c = 0; c < n; ++c) {
        auto& col = columns[static_cast<size_t>(c)];
        if (col.type != TFieldType::ftUnknown) continue;
        for (size_t r = 0; r < rows.Rows() && col.type == TFieldType::ftUnknown; ++r) {
          col.type = TypeOfValue(rows.At(r, c).kind);
        }
        if (col.type == TFieldType::ftUnknown) col.type = TFieldType::ftString;
      }
    }
  }
  for (int c = 0; c < n; ++c) {
    fields.push_back(std::make_unique<Field>(this, c));
    by_name.emplace(columns[static_cast<size_t>(c)].name, c);  // keeps the first of a name
  }
  cur = 0;
  eof = Held() == 0;
  active = true;
}

TQuery::Impl::LocateEntry& TQuery::Impl::EntryFor(std::string_view key_fields) {
  for (auto& e : locates) {
    if (e.key_fields == key_fields) return e;
  }
  LocateEntry e;
  e.key_fields = std::string(key_fields);
  for (size_t start = 0;;) {
    const size_t semi = key_fields.find(';', start);
    e.columns.push_back(ColumnOf(TrimSpaces(key_fields.substr(start, semi - start))));
    if (semi == std::string_view::npos) break;
    start = semi + 1;
  }
  return locates.emplace_back(std::move(e));
}

TQuery::TQuery() : impl_(std::make_unique<Impl>()) {}
TQuery::~TQuery() = default;

void TQuery::SetDatabaseName(std::string name) {
  if (impl_->active) throw EDatabaseError(detail::MsgOpenWhileActive(impl_->database_name));
  impl_->database_name = std::move(name);
  impl_->DropReady();
}

std::vector<std::string>& TQuery::SQL() {
  impl_->DropReady();
  return impl_->sql;
}

void TQuery::Prepare() {
  Impl& q = *impl_;
  q.DropReady();
  detail::TranslatedSql translated = detail::TranslateLocalSql(q.Text());
  std::shared_ptr<detail::Session> session = detail::SessionFor(q.database_name);
  session->Attach(translated);
  const std::optional<std::string> row_numbers = RowNumberSql(*session, translated);
  q.ready = PrepareOn(*session, row_numbers ? *row_numbers : translated.sql);
  q.ready_on = std::move(session);
  q.ready_sql = std::move(translated);
}

void TQuery::Open() {
  if (impl_->active) return;
  impl_->Run();
}

void TQuery::Close() {
  impl_->Reset();
}
bool TQuery::Active() const {
  return impl_->active;
}

void TQuery::First() {
  Impl& q = *impl_;
  if (q.base > 0) {
    q.Restart();
    q.StepInto(q.rows);
  }
  q.cur = 0;
  q.eof = q.Held() == 0;
}

void TQuery::Next() {
  // Past the last row the cursor stays on it and Eof turns true.
  Impl& q = *impl_;
  if (q.cur + 1 < q.base + q.Held()) {
    ++q.cur;
    return;
  }
  if (q.live != nullptr) {
    // The next row replaces the window; the current one stays readable until it is there.
    q.spare.Clear();
    if (q.StepInto(q.spare)) {
      std::swap(q.rows, q.spare);
      q.base = ++q.cur;
      return;
    }
  }
  q.eof = true;
}

bool TQuery::Eof() const {
  return impl_->eof;
}
int TQuery::RecordCount() const {
  impl_->FetchAll();
  return static_cast<int>(impl_->Held());
}

bool TQuery::Locate(std::string_view key_fields, const std::vector<Variant>& values) {
  if (!impl_->active) throw EDatabaseError(detail::MsgNotOpen(impl_->Text()));
  impl_->FetchAll();
  Impl::LocateEntry& e = impl_->EntryFor(key_fields);
  if (e.columns.size() != values.size()) throw EDatabaseError(detail::MsgLocateArity(key_fields));

  // Each value takes the form of its column: text columns compare text (blank is null), number
  // columns compare numbers.
  thread_local std::vector<CellView> probe;
  thread_local std::vector<std::string> texts;
  probe.assign(values.size(), CellView{});
  texts.resize(values.size());
  for (size_t k = 0; k < values.size(); ++k) {
    const ColumnInfo& col = impl_->columns[static_cast<size_t>(e.columns[k])];
    const CellKind kind = detail::KindOf(col.type);
    CellView& v = probe[k];
    const Variant& value = values[k];
    if (std::holds_alternative<std::monostate>(value)) continue;
    if (kind == CellKind::kText || kind == CellKind::kBlob) {
      std::string& t = texts[k];
      if (const auto* s = std::get_if<std::string>(&value)) {
        t = *s;
      } else if (const auto* i = std::get_if<int64_t>(&value)) {
        t = std::to_string(*i);
      } else if (const auto* d = std::get_if<double>(&value)) {
        t = detail::FormatFloat(*d);
      } else {
        t = std::get<bool>(value) ? "True" : "False";
      }
      if (!t.empty() || kind == CellKind::kBlob) {
        v.kind = kind;
        v.bytes = t;
      }
    } else if (const auto* i = std::get_if<int64_t>(&value)) {
      v.kind = CellKind::kInt;
      v.i = *i;
    } else if (const auto* d = std::get_if<double>(&value)) {
      v.kind = CellKind::kFloat;
      v.f = *d;
    } else if (const auto* b = std::get_if<bool>(&value)) {
      v.kind = CellKind::kInt;
      v.i = *b ? 1 : 0;
    } else {
      const std::string& s = std::get<std::string>(value);
      if (s.empty()) continue;
      v.kind = CellKind::kFloat;
      v.f = FieldRead{col.name, TFieldType::ftString, CellView{CellKind::kText, 0, 0, s}}.AsFloat();
    }
  }
  if (!e.index) e.index = std::make_unique<detail::LocateIndex>(impl_->Source(), e.columns);
  const auto row = e.index->Find(probe);
  if (!row) return false;
  impl_->cur = *row;
  impl_->eof = false;
  return true;
}

TField& TQuery::FieldByName(std::string_view name) {
  if (!impl_->active) throw EDatabaseError(detail::MsgFieldMissing(name));
  return *impl_->fields[static_cast<size_t>(impl_->CachedColumnOf(name))];
}

TField& TQuery::Fields(int index) {
  if (index < 0 || index >= static_cast<int>(impl_->fields.size())) {
    throw EDatabaseError(detail::MsgFieldIndex(index));
  }
  return *impl_->fields[static_cast<size_t>(index)];
}

int TQuery::FieldCount() const {
  return static_cast<int>(impl_->fields.size());
}

}  // namespace nc16::db
