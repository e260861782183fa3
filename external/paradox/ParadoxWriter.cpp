#include "external/paradox/ParadoxWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <utility>

#include "external/paradox/ParadoxFormat.h"
#include "external/paradox/TableFile.h"
#include "external/paradox/WriterFormat.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"

namespace nc16::px {

using namespace format;

namespace {

void WriteWhole(const std::filesystem::path& path, std::string_view data, const std::string& name) {
  try {
    WriteFileAtomic(path, data);
  } catch (const std::exception& e) {
    throw ParadoxError(SJ("テーブル ") + name + SJ(" に書き込めません: ") + e.what());
  }
}

}  // namespace

void CreateTable(const std::filesystem::path& db_file, const TableDef& def) {
  const std::string name = FromNativePath(db_file);
  std::error_code ec;
  if (std::filesystem::exists(db_file, ec))
    throw ParadoxError(SJ("テーブル ") + name + SJ(" は既にあります"));
  const std::vector<FieldInfo> fields = writer::LayoutFields(name, def);
  const std::string table_name = db_file.filename().string();
  // The parts first, the .DB last: until it exists there is no table, only leftovers.
  if (std::any_of(fields.begin(), fields.end(),
                  [](const FieldInfo& f) { return IsBlobType(f.type); }))
    WriteWhole(SiblingFile(db_file, ".MB"), writer::BuildBlobHeader(), name);
  if (def.key_field_count > 0)
    WriteWhole(
        SiblingFile(db_file, ".PX"),
        writer::BuildPrimaryIndex(table_name, fields, def.key_field_count, def.block_size, {}),
        name);
  WriteWhole(db_file,
             writer::BuildTableHeader(table_name, fields, def.key_field_count, def.code_page,
                                      def.block_size),
             name);
}

struct TableWriter::Impl {
  std::filesystem::path path;
  std::string name;
  TableFile db;
  std::unique_ptr<Table> table;  // the committed state, re-read after every append
  int fail_after = 0;

  void Step(int step) const {
    if (fail_after == step) throw std::runtime_error("injected failure");
  }

  void Load() { table = std::make_unique<Table>(name, db.ReadAll()); }

  // Blocks that the live chain does not use and that the free list offers, in free-list order.
  std::vector<int> FreeBlocks(const std::string& data, const std::vector<int>& chain) const {
    const auto& h = table->header();
    const auto* d = reinterpret_cast<const uint8_t*>(data.data());
    const size_t in_file = (data.size() - h.header_size) / h.block_size;
    std::vector<bool> live(in_file + 2, false);
    for (int b : chain)
      if (static_cast<size_t>(b) < live.size()) live[b] = true;
    std::vector<int> free;
    std::vector<bool> seen(in_file + 2, false);
    int b = U16(d + 0x4D);
    // Only blocks wholly inside the file and outside the live chain are taken; a damaged free
    // list ends the walk instead of handing out live data.
    while (b > 0 && static_cast<size_t>(b) <= in_file && !seen[b] && !live[b]) {
      seen[b] = true;
      free.push_back(b);
      b = U16(d + h.header_size + static_cast<size_t>(b - 1) * h.block_size);
    }
    return free;
  }

  // The old chain's blocks in chain order (walked again: the reader checked it).
  std::vector<int> ChainBlocks(const std::string& data) const {
    const auto& h = table->header();
    const auto* d = reinterpret_cast<const uint8_t*>(data.data());
    std::vector<int> chain;
    int b = h.first_block;
    while (b != 0 && chain.size() < 65535) {
      chain.push_back(b);
      b = U16(d + h.header_size + static_cast<size_t>(b - 1) * h.block_size);
    }
    return chain;
  }
};

TableWriter::TableWriter(const std::filesystem::path& db_file) : impl_(std::make_unique<Impl>()) {
  impl_->path = db_file;
  impl_->name = FromNativePath(db_file);
  impl_->db = TableFile(db_file, TableFile::Mode::kReadWrite, impl_->name);
  impl_->db.TryLock(TableFile::Lock::kExclusive);
  impl_->Load();
}

TableWriter::~TableWriter() = default;

const TableHeader& TableWriter::header() const {
  return impl_->table->header();
}
const std::vector<FieldInfo>& TableWriter::fields() const {
  return impl_->table->fields();
}
size_t TableWriter::RecordCount() const {
  return impl_->table->RecordCount();
}
void TableWriter::FailAfterStepForTesting(int step) {
  impl_->fail_after = step;
}

void TableWriter::Append(const std::vector<Value>& values) {
  AppendMany({values});
}

void TableWriter::AppendMany(const std::vector<std::vector<Value>>& records) {
  if (records.empty()) return;
  try {
    AppendRecords(records);
  } catch (...) {
    // Whatever reached the disk, the committed header says what the table is now.
    try {
      impl_->Load();
    } catch (...) {
    }
    throw;
  }
}

void TableWriter::AppendRecords(const std::vector<std::vector<Value>>& records) {
  Impl& m = *impl_;
  const Table& t = *m.table;
  const TableHeader& h = t.header();
  const auto& fields = t.fields();

  // 1. The new records; blob data are appended to the .MB file (invisible until referenced).
  std::vector<std::string> encoded(records.size(), std::string(h.record_size, '\0'));
  uint32_t auto_inc = h.auto_inc;
  TableFile mb;
  uint64_t mb_end = 0;
  const writer::BlobStore store = [&](std::string_view data, FieldType type) -> uint32_t {
    if (!mb.IsOpen()) {
      const auto mb_path = SiblingFile(m.path, ".MB");
      std::error_code ec;
      // A table whose blobs all fit in their leaders may come without a .MB file.
      if (!std::filesystem::exists(mb_path, ec))
        WriteWhole(mb_path, writer::BuildBlobHeader(), m.name);
      mb = TableFile(mb_path, TableFile::Mode::kReadWrite, m.name);
      mb_end = mb.Size();
      if (mb_end < static_cast<uint64_t>(kMbUnit)) {
        mb.WriteAt(writer::BuildBlobHeader(), 0);
        mb_end = kMbUnit;
      }
      mb_end = (mb_end + kMbUnit - 1) / kMbUnit * kMbUnit;
    }
    if (mb_end > 0xFFFFF000u)
      throw ParadoxError(SJ("テーブル ") + m.name + SJ(" のメモファイルが一杯です"));
    const std::string block = writer::BuildBlobBlock(data, type);
    mb.WriteAt(block, mb_end);
    const auto at = static_cast<uint32_t>(mb_end);
    mb_end += block.size();
    return at;
  };
  for (size_t r = 0; r < records.size(); ++r) {
    const std::vector<Value>& values = records[r];
    if (values.size() > fields.size())
      throw ParadoxError(SJ("テーブル ") + m.name + SJ(" に書き込めません: ") + "too many values");
    auto* rec = reinterpret_cast<uint8_t*>(encoded[r].data());
    for (size_t i = 0; i < fields.size(); ++i) {
      Value v = i < values.size() ? values[i] : Value{};
      if (fields[i].type == FieldType::AutoInc) {
        if (std::holds_alternative<std::monostate>(v)) {
          v = static_cast<int64_t>(++auto_inc);
        } else if (const auto* n = std::get_if<int64_t>(&v);
                   n && *n > 0 && static_cast<uint64_t>(*n) > auto_inc) {
          auto_inc = static_cast<uint32_t>(*n);
        }
      }
      writer::EncodeField(m.name, fields[i], v, rec + fields[i].offset, store);
    }
  }
  if (mb.IsOpen()) mb.Sync();
  m.Step(1);

  // 2. The whole chain, new record in its place, written as a fresh chain into free blocks and
  // after the end of the file. Nothing the committed header points at is touched.
  const std::string data = m.db.ReadAll();
  std::vector<const uint8_t*> rows;
  rows.reserve(t.RecordCount() + encoded.size());
  for (size_t i = 0; i < t.RecordCount(); ++i)
    rows.push_back(t.At(i).Raw().data());
  for (const std::string& e : encoded) {
    const auto* rec = reinterpret_cast<const uint8_t*>(e.data());
    size_t at = rows.size();
    if (h.key_field_count > 0) {
      auto it =
          std::upper_bound(rows.begin(), rows.end(), rec, [&](const uint8_t* a, const uint8_t* b) {
            return writer::CompareKeys(fields, h.key_field_count, a, b) < 0;
          });
      if (it != rows.begin() && writer::CompareKeys(fields, h.key_field_count, *(it - 1), rec) == 0)
        throw ParadoxError(SJ("テーブル ") + m.name + SJ(" に書き込めません: ") +
                           SJ("キーが重複しています"));
      at = static_cast<size_t>(it - rows.begin());
    }
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), rec);
  }

  const size_t per_block = static_cast<size_t>(h.block_size - kBlockHeader) / h.record_size;
  const size_t need = (rows.size() + per_block - 1) / per_block;
  const std::vector<int> old_chain = m.ChainBlocks(data);
  std::vector<int> free = m.FreeBlocks(data, old_chain);
  const size_t blocks_in_file = (data.size() - h.header_size + h.block_size - 1) / h.block_size;
  std::vector<int> chain;
  size_t used_free = 0;
  int next_new = static_cast<int>(std::max<size_t>(blocks_in_file, h.file_blocks)) + 1;
  for (size_t i = 0; i < need; ++i) {
    if (used_free < free.size()) {
      chain.push_back(free[used_free++]);
    } else {
      if (next_new > 65535) throw ParadoxError(SJ("テーブル ") + m.name + SJ(" が一杯です"));
      chain.push_back(next_new++);
    }
  }
  std::vector<writer::ChainBlock> index;
  int key_width = 0;
  for (int k = 0; k < h.key_field_count; ++k)
    key_width += fields[k].width;
  std::string block(h.block_size, '\0');
  auto* bp = reinterpret_cast<uint8_t*>(block.data());
  for (size_t i = 0; i < need; ++i) {
    std::fill(block.begin(), block.end(), '\0');
    const size_t first = i * per_block;
    const size_t n = std::min(per_block, rows.size() - first);
    PutU16(bp, i + 1 < need ? static_cast<uint16_t>(chain[i + 1]) : 0);
    PutU16(bp + 2, i > 0 ? static_cast<uint16_t>(chain[i - 1]) : 0);
    PutU16(bp + 4, static_cast<uint16_t>((n - 1) * h.record_size));
    for (size_t r = 0; r < n; ++r)
      std::memcpy(bp + kBlockHeader + r * h.record_size, rows[first + r], h.record_size);
    m.db.WriteAt(block, h.header_size + static_cast<uint64_t>(chain[i] - 1) * h.block_size);
    index.push_back({chain[i], static_cast<int>(n),
                     std::string(reinterpret_cast<const char*>(rows[first]), key_width)});
  }
  m.db.Sync();
  m.Step(2);

  // 3. The commit: one write of the header's first sector points it at the new chain. The old
  // chain becomes the head of the free list (it is still linked through its next pointers).
  const int file_blocks = std::max<int>(next_new - 1, h.file_blocks);
  std::string head = data.substr(0, h.version >= 40 ? kDataHeaderEnd : kHeaderFixed);
  auto* hp = reinterpret_cast<uint8_t*>(head.data());
  PutU32(hp + 0x06, static_cast<uint32_t>(rows.size()));
  PutU16(hp + 0x0A, static_cast<uint16_t>(need));
  PutU16(hp + 0x0C, static_cast<uint16_t>(file_blocks));
  PutU16(hp + 0x0E, static_cast<uint16_t>(chain.front()));
  PutU16(hp + 0x10, static_cast<uint16_t>(chain.back()));
  PutU32(hp + 0x49, auto_inc);
  const bool leftover = used_free < free.size();
  const int free_head = leftover ? free[used_free] : (old_chain.empty() ? 0 : old_chain.front());
  PutU16(hp + 0x4D, static_cast<uint16_t>(free_head));
  if (h.version >= 40) PutU32(hp + 0x60, static_cast<uint32_t>(std::time(nullptr)));
  m.db.WriteAt(head, 0);
  m.db.Sync();
  m.Step(3);

  // 4. Tidy-up after the commit: hang the old chain onto the end of the remaining free list. A
  // failure here only loses those blocks for reuse.
  if (leftover && !old_chain.empty()) {
    uint8_t link[2];
    PutU16(link, static_cast<uint16_t>(old_chain.front()));
    m.db.WriteAt(std::string_view(reinterpret_cast<char*>(link), 2),
                 h.header_size + static_cast<uint64_t>(free.back() - 1) * h.block_size);
  }
  m.Step(4);
  const int key_count = h.key_field_count;
  const int block_size = h.block_size;
  const int version_id = static_cast<uint8_t>(data[0x39]);
  m.Load();  // `h` and `fields` refer to the old table from here on: not used any more

  // 5. The primary index, replaced whole.
  if (key_count > 0) {
    WriteWhole(SiblingFile(m.path, ".PX"),
               writer::BuildPrimaryIndex(m.path.filename().string(), m.table->fields(), key_count,
                                         block_size, index, version_id),
               m.name);
    m.Step(5);
  }
}

}  // namespace nc16::px
