#include "external/db/VirtualTable.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "external/db/LoadedTable.h"
#include "external/db/LocateIndex.h"
#include "external/db/PxColumns.h"
#include "external/db/Session.h"

namespace nc16::db::detail {
namespace {

struct VTab {
  sqlite3_vtab base{};
  std::string name;
  std::shared_ptr<TableSlot> slot;  // the table it shows now
};

struct VCursor {
  sqlite3_vtab_cursor base{};
  std::shared_ptr<LoadedTable> held;  // keeps the table of the statement alive
  LoadedTable* table = nullptr;
  // A scan walks all rows; a lookup walks one hash chain of `column`, stopping on rows equal to
  // the key.
  bool lookup = false;
  int column = -1;
  CellView key;
  std::string key_bytes;
  const ColumnIndex* index = nullptr;
  uint32_t row = 0;  // current row + 1 for a lookup; current row for a scan
  size_t count = 0;
  std::optional<px::Record> record;  // the current record, decoded lazily by xColumn

  uint32_t Row() const { return lookup ? row - 1 : row; }
  bool AtEnd() const { return lookup ? row == 0 : row >= count; }
  // Moves a lookup to the first row at or after the current one that matches the key.
  void SkipMismatches() {
    while (row != 0 && !table->Matches(row - 1, column, key))
      row = index->next[row - 1];
  }
};

// Hands a field to sqlite3_result_*; stable views point into the loaded file.
struct ResultSink {
  sqlite3_context* ctx;
  void Null() { sqlite3_result_null(ctx); }
  void Int(int64_t v) { sqlite3_result_int64(ctx, v); }
  void Float(double v) { sqlite3_result_double(ctx, v); }
  void Text(std::string_view v, bool stable) {
    sqlite3_result_text(ctx, v.data(), static_cast<int>(v.size()),
                        stable ? SQLITE_STATIC : SQLITE_TRANSIENT);
  }
  void Blob(std::string_view v, bool stable) {
    sqlite3_result_blob(ctx, v.data(), static_cast<int>(v.size()),
                        stable ? SQLITE_STATIC : SQLITE_TRANSIENT);
  }
};

std::string QuoteIdent(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    out.push_back(c);
    if (c == '"') out.push_back('"');
  }
  return out + "\"";
}

int Connect(sqlite3* db, void* aux, int argc, const char* const* argv, sqlite3_vtab** out,
            char** err) {
  const auto* conn = static_cast<const Connection*>(aux);
  if (argc < 4) {
    *err = sqlite3_mprintf("paradox: table name missing");
    return SQLITE_ERROR;
  }
  std::string name = argv[3];
  if (name.size() >= 2 && name.front() == '"') name = name.substr(1, name.size() - 2);
  const DeclaredTable* declared = FindDeclared(*conn, name);
  if (!declared) {
    *err = sqlite3_mprintf("paradox: no loaded table %s", argv[3]);
    return SQLITE_ERROR;
  }
  if (const int rc = sqlite3_declare_vtab(db, declared->ddl.c_str()); rc != SQLITE_OK) return rc;
  auto* vtab = new VTab;
  vtab->name = std::move(name);
  vtab->slot = declared->slot;
  *out = &vtab->base;
  return SQLITE_OK;
}

int Disconnect(sqlite3_vtab* vtab) {
  delete reinterpret_cast<VTab*>(vtab);
  return SQLITE_OK;
}

// Plan: idxNum = 1 + column of the first usable equality constraint (looked up in the column's
// index), or 0 for a scan.
int BestIndex(sqlite3_vtab* base, sqlite3_index_info* info) {
  auto* vtab = reinterpret_cast<VTab*>(base);
  if (!vtab->slot->table) {
    // Declared by an earlier session of the connection and not loaded by this one: to this
    // session's statements the table does not exist.
    sqlite3_free(base->zErrMsg);
    base->zErrMsg = sqlite3_mprintf("no such table: %s", vtab->name.c_str());
    return SQLITE_ERROR;
  }
  const double rows = static_cast<double>(vtab->slot->table->table->RecordCount());
  info->idxNum = 0;
  info->estimatedCost = rows + 1;
  info->estimatedRows = static_cast<sqlite3_int64>(rows) + 1;
  // A keyed table's records come in key order, and an index lookup keeps that order: SQLite
  // need not sort when it asks for a prefix of the (numeric) key, ascending.
  const LoadedTable& table = *vtab->slot->table;
  if (info->nOrderBy > 0 && info->nOrderBy <= table.ordered_fields) {
    bool consumed = true;
    for (int i = 0; i < info->nOrderBy; ++i) {
      consumed = consumed && info->aOrderBy[i].iColumn == i && !info->aOrderBy[i].desc;
    }
    info->orderByConsumed = consumed ? 1 : 0;
  }
  for (int i = 0; i < info->nConstraint; ++i) {
    const auto& c = info->aConstraint[i];
    if (!c.usable || c.op != SQLITE_INDEX_CONSTRAINT_EQ || c.iColumn < 0) continue;
    info->idxNum = c.iColumn + 1;
    info->aConstraintUsage[i].argvIndex = 1;
    info->aConstraintUsage[i].omit = 0;  // SQLite checks again, with its own affinity rules
    info->estimatedCost = 2;
    info->estimatedRows = 2;
    break;
  }
  return SQLITE_OK;
}

int Open(sqlite3_vtab* vtab, sqlite3_vtab_cursor** out) {
  auto* v = reinterpret_cast<VTab*>(vtab);
  if (!v->slot->table) return SQLITE_ERROR;
  auto* cur = new VCursor;
  cur->held = v->slot->table;
  cur->table = cur->held.get();
  *out = &cur->base;
  return SQLITE_OK;
}

int Close(sqlite3_vtab_cursor* cur) {
  delete reinterpret_cast<VCursor*>(cur);
  return SQLITE_OK;
}

int FilterUnguarded(sqlite3_vtab_cursor* base, int idx_num, int argc, sqlite3_value** argv) {
  auto* cur = reinterpret_cast<VCursor*>(base);
  cur->record.reset();
  cur->lookup = false;
  cur->row = 0;
  cur->count = cur->table->table->RecordCount();
  if (idx_num <= 0 || argc < 1) return SQLITE_OK;

  const int column = idx_num - 1;
  const CellKind kind = KindOf(FieldTypeOf(cur->table->types[static_cast<size_t>(column)]));
  sqlite3_value* v = argv[0];
  CellView key;
  if (kind == CellKind::kInt || kind == CellKind::kFloat) {
    // Numeric affinity of the column applies to the compared value, as in SQLite's own '='.
    switch (sqlite3_value_numeric_type(v)) {
      case SQLITE_INTEGER:
        key = CellView{CellKind::kInt, sqlite3_value_int64(v), 0, {}};
        break;
      case SQLITE_FLOAT:
        key = CellView{CellKind::kFloat, 0, sqlite3_value_double(v), {}};
        break;
      case SQLITE_NULL:
        cur->count = 0;
        return SQLITE_OK;
      default:
        return SQLITE_OK;  // text that is no number: scan, SQLite compares
    }
  } else {
    switch (sqlite3_value_type(v)) {
      case SQLITE_TEXT:
      case SQLITE_BLOB:
        cur->key_bytes.assign(static_cast<const char*>(sqlite3_value_blob(v)),
                              static_cast<size_t>(sqlite3_value_bytes(v)));
        key = CellView{kind, 0, 0, cur->key_bytes};
        break;
      case SQLITE_NULL:
        cur->count = 0;
        return SQLITE_OK;
      default:
        return SQLITE_OK;  // a number against text: scan, SQLite compares
    }
  }
  cur->lookup = true;
  cur->column = column;
  cur->key = key;
  cur->index = &cur->table->IndexOf(column);
  cur->row = cur->index->head[HashCell(key) & cur->index->mask];
  cur->SkipMismatches();
  return SQLITE_OK;
}

int NextUnguarded(sqlite3_vtab_cursor* base) {
  auto* cur = reinterpret_cast<VCursor*>(base);
  cur->record.reset();
  if (cur->lookup) {
    cur->row = cur->index->next[cur->row - 1];
    cur->SkipMismatches();
  } else {
    ++cur->row;
  }
  return SQLITE_OK;
}

int Eof(sqlite3_vtab_cursor* base) {
  return reinterpret_cast<VCursor*>(base)->AtEnd();
}

// Exceptions must not cross SQLite's C frames: a fault of the table file (an unreadable memo in
// the .MB, say) becomes the statement's error.
int Guarded(sqlite3_vtab_cursor* base, auto&& body) {
  try {
    return body();
  } catch (const std::exception& e) {
    sqlite3_free(base->pVtab->zErrMsg);
    base->pVtab->zErrMsg = sqlite3_mprintf("%s", e.what());
    return SQLITE_ERROR;
  }
}

int Filter(sqlite3_vtab_cursor* base, int idx_num, const char*, int argc, sqlite3_value** argv) {
  return Guarded(base, [&] { return FilterUnguarded(base, idx_num, argc, argv); });
}

int Next(sqlite3_vtab_cursor* base) {
  return Guarded(base, [&] { return NextUnguarded(base); });
}

int Column(sqlite3_vtab_cursor* base, sqlite3_context* ctx, int column) {
  auto* cur = reinterpret_cast<VCursor*>(base);
  if (!cur->record) cur->record.emplace(cur->table->table->At(cur->Row()));
  ResultSink sink{ctx};
  try {
    EmitField(*cur->record, column, cur->table->types[static_cast<size_t>(column)], sink);
  } catch (const std::exception& e) {
    sqlite3_result_error(ctx, e.what(), -1);
  }
  return SQLITE_OK;
}

int Rowid(sqlite3_vtab_cursor* base, sqlite3_int64* rowid) {
  *rowid = reinterpret_cast<VCursor*>(base)->Row() + 1;
  return SQLITE_OK;
}

const sqlite3_module kModule = [] {
  sqlite3_module m{};
  m.iVersion = 1;
  m.xCreate = Connect;
  m.xConnect = Connect;
  m.xBestIndex = BestIndex;
  m.xDisconnect = Disconnect;
  m.xDestroy = Disconnect;
  m.xOpen = Open;
  m.xClose = Close;
  m.xFilter = Filter;
  m.xNext = Next;
  m.xEof = Eof;
  m.xColumn = Column;
  m.xRowid = Rowid;
  return m;
}();

}  // namespace

std::string VirtualTableDdl(const LoadedTable& table) {
  std::string ddl = "CREATE TABLE x(";
  for (size_t i = 0; i < table.names.size(); ++i) {
    if (i) ddl += ", ";
    ddl += QuoteIdent(table.names[i]) + " " + DeclTypeOf(table.types[i]);
  }
  return ddl + ")";
}

void RegisterParadoxModule(sqlite3* db, const Connection* conn) {
  sqlite3_create_module_v2(db, "paradox", &kModule, const_cast<Connection*>(conn), nullptr);
}

}  // namespace nc16::db::detail
