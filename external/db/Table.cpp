// TTable: appends records to a Paradox table through the table writer, and creates tables. An
// exclusive table holds the writer (and its OS lock) from Open to Close, so another program
// cannot open it meanwhile; a shared one takes the writer only for the moment of each Post.

#include <cmath>
#include <optional>

#include "external/db/Db.h"
#include "external/db/FieldValue.h"
#include "external/db/Messages.h"
#include "external/db/PxColumns.h"
#include "external/db/Session.h"
#include "external/db/SqlTranslate.h"
#include "external/db/TableFiles.h"
#include "external/paradox/ParadoxWriter.h"
#include "platform/Cp932.h"

namespace nc16::db {
namespace {

using detail::CellKind;
using detail::CellView;
using detail::FieldRead;

// The longest prefix of at most `max` bytes that does not split a double-byte character.
std::string CutWhole(std::string_view s, size_t max) {
  size_t i = 0;
  while (i < s.size()) {
    const size_t w = IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    if (i + w > max) break;
    i += w;
  }
  return std::string(s.substr(0, i));
}

// A value given to a setter, in the form of the target field.
px::Value Convert(const px::FieldInfo& f, const std::string& name, TFieldType src_type,
                  const CellView& src) {
  if (src.kind == CellKind::kNull) return std::monostate{};
  const FieldRead in{name, src_type, src};
  switch (f.type) {
    case px::FieldType::Alpha: {
      std::string s = CutWhole(in.AsString(), static_cast<size_t>(f.size));
      if (s.empty()) return std::monostate{};
      return s;
    }
    case px::FieldType::Memo:
    case px::FieldType::FmtMemo:
    case px::FieldType::Blob:
    case px::FieldType::Ole:
    case px::FieldType::Graphic:
    case px::FieldType::Bytes: {
      std::string s = in.AsString();
      if (s.empty()) return std::monostate{};
      return s;
    }
    case px::FieldType::Short: {
      const int32_t v = in.AsInteger();
      // -32768 would be stored as all zero bytes, which Paradox reads as blank.
      if (v < -32767 || v > 32767) {
        throw EDatabaseError(detail::MsgBadValue(name, std::to_string(v), SJ("短整数")));
      }
      return int64_t{v};
    }
    case px::FieldType::Long:
    case px::FieldType::AutoInc:
      return int64_t{in.AsInteger()};
    case px::FieldType::Number:
      return in.AsFloat();
    case px::FieldType::Money:
      return in.AsCurrency().ToDouble();
    case px::FieldType::BCD:
      return px::Decimal{detail::FormatFloat(in.AsFloat())};
    case px::FieldType::Logical:
      return in.AsBoolean();
    case px::FieldType::Date:
      return px::Date{static_cast<int32_t>(std::floor(in.AsDateTime())) + px::kDaysTo18991230};
    case px::FieldType::Time: {
      const double t = in.AsDateTime();
      return px::Time{static_cast<int32_t>(std::llround((t - std::floor(t)) * 86400000.0))};
    }
    case px::FieldType::Timestamp:
      return px::Timestamp{
          static_cast<double>(std::llround((in.AsDateTime() + px::kDaysTo18991230) * 86400000.0))};
  }
  throw EDatabaseError(detail::MsgReadOnly(name));
}

// A pending value as the reading side of TField sees it.
CellView ViewOfValue(const px::Value& v) {
  CellView c;
  if (const auto* i = std::get_if<int64_t>(&v)) {
    c.kind = CellKind::kInt;
    c.i = *i;
  } else if (const auto* d = std::get_if<double>(&v)) {
    c.kind = CellKind::kFloat;
    c.f = *d;
  } else if (const auto* b = std::get_if<bool>(&v)) {
    c.kind = CellKind::kInt;
    c.i = *b;
  } else if (const auto* s = std::get_if<std::string>(&v)) {
    c.kind = CellKind::kText;
    c.bytes = *s;
  } else if (const auto* date = std::get_if<px::Date>(&v)) {
    c.kind = CellKind::kInt;
    c.i = detail::DateToDays1899(date->days);
  } else if (const auto* t = std::get_if<px::Time>(&v)) {
    c.kind = CellKind::kFloat;
    c.f = t->ms / 86400000.0;
  } else if (const auto* ts = std::get_if<px::Timestamp>(&v)) {
    c.kind = CellKind::kFloat;
    c.f = detail::TimestampToDays1899(ts->ms);
  } else if (const auto* dec = std::get_if<px::Decimal>(&v)) {
    c.kind = CellKind::kFloat;
    c.f = std::strtod(dec->text.c_str(), nullptr);
  }
  return c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return detail::FoldCaseCp932(a) == detail::FoldCaseCp932(b);
}

}  // namespace

struct TTable::Impl {
  class Field final : public TField {
   public:
    Field(Impl* t, int index) : t_(t), index_(index) {}
    const std::string& FieldName() const override { return Info().name; }
    TFieldType DataType() const override { return detail::FieldTypeOf(Info().type); }
    bool IsNull() const override { return std::holds_alternative<std::monostate>(Value()); }
    std::string AsString() const override { return Read().AsString(); }
    int32_t AsInteger() const override { return Read().AsInteger(); }
    bool AsBoolean() const override { return Read().AsBoolean(); }
    double AsFloat() const override { return Read().AsFloat(); }
    TDateTime AsDateTime() const override { return Read().AsDateTime(); }
    Currency AsCurrency() const override { return Read().AsCurrency(); }

    void SetAsString(std::string_view v) override {
      Set(TFieldType::ftString, CellView{v.empty() ? CellKind::kNull : CellKind::kText, 0, 0, v});
    }
    void SetAsInteger(int32_t v) override {
      Set(TFieldType::ftInteger, CellView{CellKind::kInt, v, 0, {}});
    }
    void SetAsBoolean(bool v) override {
      Set(TFieldType::ftBoolean, CellView{CellKind::kInt, v ? 1 : 0, 0, {}});
    }
    void SetAsFloat(double v) override {
      Set(TFieldType::ftFloat, CellView{CellKind::kFloat, 0, v, {}});
    }
    void SetAsDateTime(TDateTime v) override {
      Set(TFieldType::ftDateTime, CellView{CellKind::kFloat, 0, v, {}});
    }
    void SetAsCurrency(Currency v) override {
      // Exact: the units in decimal text, so no float rounding enters.
      const std::string text = std::to_string(v.units / 10000) + "." +
                               std::to_string(std::llabs(v.units % 10000) + 10000).substr(1);
      const std::string signed_text = (v.units < 0 && v.units / 10000 == 0 ? "-" : "") + text;
      Set(TFieldType::ftCurrency, CellView{CellKind::kText, 0, 0, signed_text});
    }
    void Clear() override { Set(TFieldType::ftString, CellView{}); }

   private:
    const px::FieldInfo& Info() const { return t_->fields[static_cast<size_t>(index_)]; }
    const px::Value& Value() const { return t_->pending[static_cast<size_t>(index_)]; }
    FieldRead Read() const { return FieldRead{Info().name, DataType(), ViewOfValue(Value())}; }
    void Set(TFieldType src_type, const CellView& v) {
      if (!t_->inserting) throw EDatabaseError(detail::MsgNotEditing(t_->table_name));
      t_->pending[static_cast<size_t>(index_)] = Convert(Info(), Info().name, src_type, v);
    }

    Impl* t_;
    int index_;
  };

  std::string database_name;
  std::string table_name;
  bool exclusive = false;
  std::vector<TFieldDef> field_defs;
  std::vector<TIndexDef> index_defs;

  bool active = false;
  bool inserting = false;
  std::filesystem::path file;
  std::unique_ptr<px::TableWriter> writer;  // an exclusive table's, from Open to Close
  std::vector<px::FieldInfo> fields;
  std::vector<std::unique_ptr<Field>> field_objects;
  std::vector<px::Value> pending;

  std::string Folder() const {
    std::string folder = detail::FolderFor(database_name);
    if (!detail::FolderExists(folder)) throw EDBEngineError(detail::MsgFolderMissing(folder));
    return folder;
  }

  std::unique_ptr<px::TableWriter> OpenWriter() const {
    try {
      return std::make_unique<px::TableWriter>(file);
    } catch (const px::TableLockedError&) {
      throw ETableBusy(detail::MsgTableBusy(table_name));
    } catch (const px::ParadoxError& e) {
      throw EDBEngineError(detail::MsgTableCannotOpen(table_name, e.what()));
    }
  }
};

TTable::TTable() : impl_(std::make_unique<Impl>()) {}
TTable::~TTable() {
  Close();
}

void TTable::SetDatabaseName(std::string name) {
  if (impl_->active) throw EDatabaseError(detail::MsgOpenWhileActive(impl_->table_name));
  impl_->database_name = std::move(name);
}

void TTable::SetTableName(std::string name) {
  if (impl_->active) throw EDatabaseError(detail::MsgOpenWhileActive(impl_->table_name));
  impl_->table_name = std::move(name);
}

void TTable::SetExclusive(bool exclusive) {
  if (impl_->active) throw EDatabaseError(detail::MsgOpenWhileActive(impl_->table_name));
  impl_->exclusive = exclusive;
}

std::vector<TFieldDef>& TTable::FieldDefs() {
  return impl_->field_defs;
}
std::vector<TIndexDef>& TTable::IndexDefs() {
  return impl_->index_defs;
}

void TTable::CreateTable() {
  Impl& t = *impl_;
  if (t.active) throw EDatabaseError(detail::MsgOpenWhileActive(t.table_name));
  if (t.table_name.empty()) throw EDatabaseError(detail::MsgNoTableName());
  const std::string folder = t.Folder();
  if (detail::FindTableFile(folder, t.table_name)) {
    throw EDBEngineError(detail::MsgTableExists(t.table_name));
  }
  px::TableDef def;
  for (const TFieldDef& fd : t.field_defs) {
    const auto type = detail::ParadoxTypeOf(fd.DataType);
    if (!type || fd.Name.empty())
      throw EDatabaseError(detail::MsgBadFieldDef(t.table_name, fd.Name));
    def.fields.push_back(px::FieldDef{fd.Name, *type, fd.Size});
  }
  for (const TIndexDef& id : t.index_defs) {
    std::vector<std::string> names;
    for (size_t start = 0;;) {
      const size_t semi = id.Fields.find(';', start);
      names.push_back(id.Fields.substr(start, semi - start));
      if (semi == std::string::npos) break;
      start = semi + 1;
    }
    if (id.Options & ixPrimary) {
      // Paradox keys the leading fields: the primary index must name them in order.
      for (size_t k = 0; k < names.size(); ++k) {
        if (k >= def.fields.size() || !EqualsNoCase(names[k], def.fields[k].name)) {
          throw EDatabaseError(detail::MsgBadFieldDef(t.table_name, names[k]));
        }
      }
      def.key_field_count = static_cast<int>(names.size());
    } else {
      def.secondary_indexes.push_back(px::IndexDef{id.Name, names, (id.Options & ixUnique) != 0,
                                                   (id.Options & ixCaseInsensitive) != 0,
                                                   (id.Options & ixDescending) != 0});
    }
  }
  const std::filesystem::path path =
      NativePath(detail::ResolvedPath(folder)) / NativePath(detail::TableFileName(t.table_name));
  try {
    px::CreateTable(path, def);
  } catch (const px::ParadoxError& e) {
    throw EDBEngineError(detail::MsgCreateFailed(t.table_name, e.what()));
  }
}

void TTable::Open() {
  Impl& t = *impl_;
  if (t.active) return;
  if (t.table_name.empty()) throw EDatabaseError(detail::MsgNoTableName());
  const std::string folder = t.Folder();
  const auto file = detail::FindTableFile(folder, t.table_name);
  if (!file) throw EDBEngineError(detail::MsgTableMissing(t.table_name, folder));
  t.file = *file;
  if (t.exclusive) {
    t.writer = t.OpenWriter();
    t.fields = t.writer->fields();
  } else {
    try {
      t.fields = px::Table(t.file).fields();
    } catch (const px::TableLockedError&) {
      throw ETableBusy(detail::MsgTableBusy(t.table_name));
    } catch (const px::ParadoxError& e) {
      throw EDBEngineError(detail::MsgTableCannotOpen(t.table_name, e.what()));
    }
  }
  t.field_objects.clear();
  for (size_t i = 0; i < t.fields.size(); ++i) {
    t.field_objects.push_back(std::make_unique<Impl::Field>(&t, static_cast<int>(i)));
  }
  t.pending.assign(t.fields.size(), std::monostate{});
  t.active = true;
}

void TTable::Close() {
  Impl& t = *impl_;
  t.inserting = false;
  t.writer.reset();
  t.field_objects.clear();
  t.fields.clear();
  t.pending.clear();
  t.active = false;
}

bool TTable::Active() const {
  return impl_->active;
}

void TTable::Append() {
  Impl& t = *impl_;
  if (!t.active) throw EDatabaseError(detail::MsgNotOpen(t.table_name));
  t.pending.assign(t.fields.size(), std::monostate{});
  t.inserting = true;
}

void TTable::Post() {
  Impl& t = *impl_;
  if (!t.inserting) throw EDatabaseError(detail::MsgNotEditing(t.table_name));
  std::unique_ptr<px::TableWriter> shared_writer;
  px::TableWriter* writer = t.writer.get();
  if (!writer) {
    shared_writer = t.OpenWriter();
    writer = shared_writer.get();
  }
  try {
    writer->Append(t.pending);
  } catch (const px::ParadoxError& e) {
    throw EDBEngineError(detail::MsgPostFailed(t.table_name, e.what()));
  } catch (const EDatabaseError&) {
    throw;
  } catch (const std::exception& e) {
    // The writer promises the table is unchanged after any failure of Append.
    throw EDBEngineError(detail::MsgPostFailed(t.table_name, e.what()));
  }
  t.inserting = false;
  t.pending.assign(t.fields.size(), std::monostate{});
}

void TTable::Cancel() {
  impl_->inserting = false;
  impl_->pending.assign(impl_->fields.size(), std::monostate{});
}

TField& TTable::FieldByName(std::string_view name) {
  Impl& t = *impl_;
  for (size_t i = 0; i < t.fields.size(); ++i) {
    if (EqualsNoCase(t.fields[i].name, name)) return *t.field_objects[i];
  }
  throw EDatabaseError(detail::MsgFieldMissing(name));
}

}  // namespace nc16::db
