#include "external/db/LoadedTable.h"

#include "external/db/LocateIndex.h"
#include "external/db/Messages.h"
#include "external/db/PxColumns.h"

namespace nc16::db::detail {
namespace {

struct ViewSink {
  CellView v;
  std::string* scratch;
  void Null() { v = CellView{}; }
  void Int(int64_t x) { v = CellView{CellKind::kInt, x, 0, {}}; }
  void Float(double x) { v = CellView{CellKind::kFloat, 0, x, {}}; }
  void Text(std::string_view x, bool stable) { v = Bytes(CellKind::kText, x, stable); }
  void Blob(std::string_view x, bool stable) { v = Bytes(CellKind::kBlob, x, stable); }
  CellView Bytes(CellKind kind, std::string_view x, bool stable) {
    if (!stable) {
      scratch->assign(x);
      x = *scratch;
    }
    return CellView{kind, 0, 0, x};
  }
};

}  // namespace

CellView FieldView(const px::Record& record, int column, px::FieldType type, std::string& scratch) {
  ViewSink sink{{}, &scratch};
  EmitField(record, column, type, sink);
  return sink.v;
}

CellView TableRows::View(size_t row, int column, std::string& scratch) const {
  try {
    return FieldView(table_->table->At(rows_[row]), column,
                     table_->types[static_cast<size_t>(column)], scratch);
  } catch (const EDatabaseError&) {
    throw;
  } catch (const std::exception& e) {
    throw EDBEngineError(MsgSqlError(e.what()));
  }
}

const ColumnIndex& LoadedTable::IndexOf(int column) {
  if (indexes_.size() < types.size()) indexes_.resize(types.size());
  auto& slot = indexes_[static_cast<size_t>(column)];
  if (!slot) {
    auto index = std::make_unique<ColumnIndex>();
    const size_t n = table->RecordCount();
    size_t cap = 16;
    while (cap < n * 2)
      cap <<= 1;
    index->head.assign(cap, 0);
    index->next.assign(n, 0);
    index->mask = cap - 1;
    const px::FieldType type = types[static_cast<size_t>(column)];
    std::string scratch;
    // Backwards, so that pushing onto the front of a chain leaves it in table order.
    for (size_t r = n; r-- > 0;) {
      const CellView v = FieldView(table->At(r), column, type, scratch);
      if (v.kind == CellKind::kNull) continue;  // '=' never matches null
      uint32_t& head = index->head[HashCell(v) & index->mask];
      index->next[r] = head;
      head = static_cast<uint32_t>(r + 1);
    }
    slot = std::move(index);
  }
  return *slot;
}

void LoadedTable::FindOrder() {
  ordered_fields = 0;
  int keys = table->header().key_field_count;
  // Only numeric keys: Paradox orders alpha keys by its own collation, SQLite by bytes.
  int numeric = 0;
  while (numeric < keys && numeric < static_cast<int>(types.size())) {
    const CellKind k = KindOf(FieldTypeOf(types[static_cast<size_t>(numeric)]));
    if (k != CellKind::kInt && k != CellKind::kFloat) break;
    ++numeric;
  }
  keys = numeric;
  if (keys == 0) return;
  auto value = [&](size_t row, int f) {
    std::string unused;
    const CellView v = FieldView(table->At(row), f, types[static_cast<size_t>(f)], unused);
    return std::pair<bool, double>(v.kind != CellKind::kNull,
                                   v.kind == CellKind::kInt ? static_cast<double>(v.i) : v.f);
  };
  for (size_t r = 1; r < table->RecordCount(); ++r) {
    for (int f = 0; f < keys; ++f) {
      const auto a = value(r - 1, f), b = value(r, f);
      if (a < b) break;   // ordered by this field; later fields are free
      if (b < a) return;  // out of order: claim nothing
    }
  }
  ordered_fields = keys;
}

bool LoadedTable::Matches(uint32_t row, int column, const CellView& key) const {
  std::string scratch;
  return CellsEqual(FieldView(table->At(row), column, types[static_cast<size_t>(column)], scratch),
                    key);
}

}  // namespace nc16::db::detail
