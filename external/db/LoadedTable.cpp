#include "external/db/LoadedTable.h"

#include <cmath>
#include <cstring>

#include "external/db/PxColumns.h"

namespace nc16::db::detail {
namespace {

// Collects one field's key through EmitField.
struct KeySink {
  std::string key;
  void Null() { key.clear(); }
  void Int(int64_t v) { key = KeyOfInt(v); }
  void Float(double v) { key = KeyOfFloat(v); }
  void Text(std::string_view v, bool) { key = KeyOfBytes(v); }
  void Blob(std::string_view v, bool) { key = KeyOfBytes(v); }
};

}  // namespace

std::string KeyOfInt(int64_t v) {
  std::string k(9, 'i');
  std::memcpy(k.data() + 1, &v, sizeof v);
  return k;
}

std::string KeyOfFloat(double v) {
  // 2^63 bounds the doubles that convert to int64 without overflow.
  if (std::isfinite(v) && std::floor(v) == v && std::fabs(v) < 9.2e18) {
    return KeyOfInt(static_cast<int64_t>(v));
  }
  if (v == 0) v = 0;  // -0.0 equals 0.0
  std::string k(9, 'f');
  std::memcpy(k.data() + 1, &v, sizeof v);
  return k;
}

std::string KeyOfBytes(std::string_view v) {
  std::string k;
  k.reserve(v.size() + 1);
  k.push_back('t');
  k.append(v);
  return k;
}

const ColumnIndex& LoadedTable::IndexOf(int column) {
  if (indexes_.size() < types.size()) indexes_.resize(types.size());
  auto& slot = indexes_[static_cast<size_t>(column)];
  if (!slot) {
    auto index = std::make_unique<ColumnIndex>();
    index->rows.reserve(table->RecordCount());
    KeySink sink;
    const px::FieldType type = types[static_cast<size_t>(column)];
    uint32_t row = 0;
    table->ForEach([&](const px::Record& record) {
      EmitField(record, column, type, sink);
      if (!sink.key.empty()) index->rows[sink.key].push_back(row);
      ++row;
    });
    slot = std::move(index);
  }
  return *slot;
}

}  // namespace nc16::db::detail
