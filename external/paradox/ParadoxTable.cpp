#include "external/paradox/ParadoxTable.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

#include "external/paradox/ParadoxFormat.h"
#include "external/paradox/TableFile.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16::px {

using namespace format;

namespace {

int VersionFromId(int id) {
  if (id == 3) return 30;
  if (id == 4) return 35;
  if (id >= 5 && id <= 9) return 40;
  if (id == 10 || id == 11) return 50;
  if (id == 12) return 70;
  return 0;
}

// The record width of a field, or 0 when the size does not suit the type.
int WidthOf(FieldType type, int size) {
  switch (type) {
    case FieldType::Alpha:
    case FieldType::Bytes:
      return size >= 1 ? size : 0;
    case FieldType::Short:
      return size == 2 ? 2 : 0;
    case FieldType::Long:
    case FieldType::AutoInc:
    case FieldType::Date:
    case FieldType::Time:
      return size == 4 ? 4 : 0;
    case FieldType::Money:
    case FieldType::Number:
    case FieldType::Timestamp:
      return size == 8 ? 8 : 0;
    case FieldType::Logical:
      return size == 1 ? 1 : 0;
    case FieldType::BCD:
      return size <= 32 ? 17 : 0;
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FmtMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
      return size >= kBlobTail ? size : 0;
  }
  return 0;
}

bool KnownType(uint8_t code) {
  switch (code) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
    case 0x09:
    case 0x0C:
    case 0x0D:
    case 0x0E:
    case 0x0F:
    case 0x10:
    case 0x14:
    case 0x15:
    case 0x16:
    case 0x17:
    case 0x18:
      return true;
    default:
      return false;
  }
}

// ASCII letters compare without case; the second byte of a double-byte CP932 character is taken
// as it is (it may fall in 'A'..'Z' without being a letter).
bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (IsLeadByte(x)) {
      if (x != y || i + 1 >= a.size() || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::filesystem::path SiblingFile(const std::filesystem::path& db_file, std::string_view ext) {
  std::filesystem::path wanted = db_file;
  wanted.replace_extension(std::filesystem::path(std::string(ext)));
  try {
    return NativePath(platform::ResolvePathCase(FromNativePath(wanted)));
  } catch (const EOSError& e) {
    throw ParadoxError(e.what());
  }
}

std::filesystem::path FindBlobFile(const std::filesystem::path& db_file) {
  std::filesystem::path blob = SiblingFile(db_file, ".MB");
  std::error_code ec;
  return std::filesystem::exists(blob, ec) ? blob : std::filesystem::path();
}

Table::Table(const std::filesystem::path& db_file, const OpenOptions& options)
    : name_(FromNativePath(db_file)) {
  TableFile file(db_file, TableFile::Mode::kRead, name_);
  if (options.shared_lock) file.TryLock(TableFile::Lock::kShared);
  // 65535 blocks of 32 KiB after a header of at most 64 KiB: anything larger is not a table, and
  // reading it whole would only exhaust memory.
  constexpr uint64_t kLargestTable = 65535ull * 32768 + 65536;
  // One look at the open file gives both its size and its identity; the bytes read are those of
  // that size, so the identity describes exactly what was read.
  const FileIdentity identity = file.Identity();
  const uint64_t size = identity.size;
  if (size > kLargestTable) Fail("file larger than any Paradox table");
  sources_.push_back({db_file, identity});
  // The header's record count is checked against the file: a count no file of this size can hold
  // is a damaged header. A large file's header is read and checked first, whatever memory is
  // left; a small one is read whole at once.
  constexpr uint64_t kReadWithoutLookingFirst = 1 << 20;
  if (size > kReadWithoutLookingFirst) {
    if (auto fault = CountBeyondFile(file.ReadAt(0, kHeaderFixed), size)) Fail(*fault);
  }
  try {
    data_ = file.ReadAt(0, static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw ParadoxError(SJ("テーブル ") + name_ + SJ(" を読めません: メモリが足りません (") +
                       std::to_string(size) + " bytes)");
  }
  if (auto fault = CountBeyondFile(std::string_view(data_).substr(0, kHeaderFixed), size))
    Fail(*fault);
  Parse();
  // The blob file is read under the same lock as the table, so the two belong together. Only a
  // table with blob fields looks for one: finding it means listing the folder.
  for (const FieldInfo& f : fields_)
    if (IsBlobType(f.type)) {
      blob_path_ = options.blob_file.empty() ? FindBlobFile(db_file) : options.blob_file;
      BlobBytesIfAny();
      break;
    }
}

Table::Table(std::string name, std::string db_bytes, std::string mb_bytes)
    : name_(std::move(name)), data_(std::move(db_bytes)) {
  if (!mb_bytes.empty()) blob_ = std::make_unique<std::string>(std::move(mb_bytes));
  blob_loaded_ = true;
  Parse();
}

Table::~Table() = default;
Table::Table(Table&&) noexcept = default;
Table& Table::operator=(Table&&) noexcept = default;

void Table::Fail(std::string_view fault) const {
  throw ParadoxError(SJ("テーブル ") + name_ + SJ(" が壊れています: ") + std::string(fault));
}

std::optional<std::string> Table::CountBeyondFile(std::string_view header, uint64_t size) {
  if (header.size() < static_cast<size_t>(kHeaderFixed)) return std::nullopt;
  const auto* d = reinterpret_cast<const uint8_t*>(header.data());
  const uint32_t record_size = U16(d + 0x00), header_size = U16(d + 0x02), block_kib = d[0x05];
  const uint32_t count = U32(d + 0x06);
  const uint32_t block_size = block_kib * 1024;
  // What the rest of the parse refuses with its own words.
  if (record_size == 0 || block_kib == 0 || block_kib > 32 ||
      record_size > block_size - kBlockHeader || header_size > size)
    return std::nullopt;
  const uint64_t blocks = (size - header_size + block_size - 1) / block_size;
  const uint64_t most = blocks * ((block_size - kBlockHeader) / record_size);
  if (count <= most) return std::nullopt;
  return "header counts " + std::to_string(count) + " records, a file of " + std::to_string(size) +
         " bytes holds at most " + std::to_string(most) + " (a damaged header or a cut file)";
}

void Table::Parse() {
  const auto* d = reinterpret_cast<const uint8_t*>(data_.data());
  const size_t size = data_.size();
  // Protects every fixed header read below (offsets < 0x58).
  if (size < static_cast<size_t>(kHeaderFixed)) Fail("file too short for a table header");

  TableHeader& h = header_;
  h.record_size = U16(d + 0x00);
  h.header_size = U16(d + 0x02);
  h.file_type = d[0x04];
  const int block_kib = d[0x05];
  h.version = VersionFromId(d[0x39]);
  if (h.version == 0) Fail("unknown file version " + std::to_string(d[0x39]));
  if (h.file_type != 0 && h.file_type != 2)
    Fail("not a data table (file type " + std::to_string(h.file_type) + ")");
  if (block_kib != 1 && block_kib != 2 && block_kib != 3 && block_kib != 4 && block_kib != 8 &&
      block_kib != 16 && block_kib != 32)
    Fail("invalid block size code " + std::to_string(block_kib));
  h.block_size = block_kib * 1024;
  // A record must fit in a block after the block header, or the record offsets are meaningless.
  if (h.record_size == 0 || h.record_size > h.block_size - kBlockHeader)
    Fail("invalid record size " + std::to_string(h.record_size));
  const bool data_header = h.version >= 40;
  const int fixed = data_header ? kDataHeaderEnd : kHeaderFixed;
  // The header must hold its fixed part and may not extend past the file.
  if (h.header_size < fixed) Fail("header size " + std::to_string(h.header_size) + " too small");
  if (static_cast<size_t>(h.header_size) > size)
    Fail("header size " + std::to_string(h.header_size) + " beyond the end of the file");

  uint32_t encryption = U32(d + 0x25);
  if (encryption == kEncryptionMarker) encryption = data_header ? U32(d + 0x5C) : 0;
  if (encryption != 0)
    throw EncryptedTableError(SJ("テーブル ") + name_ +
                              SJ(" はパスワードで保護されているため読めません"));

  h.record_count = U32(d + 0x06);
  h.file_blocks = U16(d + 0x0C);
  h.first_block = U16(d + 0x0E);
  h.last_block = U16(d + 0x10);
  h.sort_order = d[0x29];
  h.auto_inc = U32(d + 0x49);
  h.code_page = data_header ? U16(d + 0x6A) : 0;
  const int field_count = U16(d + 0x21);
  h.key_field_count = U16(d + 0x23);
  if (field_count == 0) Fail("no fields");
  if (h.key_field_count > field_count)
    Fail("key field count " + std::to_string(h.key_field_count) + " exceeds the field count");

  // Field descriptors, the pointers and the table name must lie inside the header.
  const int name_len = h.version >= 70 ? 261 : 79;
  size_t pos = static_cast<size_t>(fixed);
  const size_t arrays = static_cast<size_t>(field_count) * 2 + 4 + field_count * 4u + name_len;
  if (pos + arrays > static_cast<size_t>(h.header_size))
    Fail(std::to_string(field_count) + " field descriptors do not fit in the header");
  fields_.resize(field_count);
  int offset = 0;
  for (int i = 0; i < field_count; ++i) {
    const uint8_t code = d[pos + 2 * i];
    const int fsize = d[pos + 2 * i + 1];
    if (!KnownType(code))
      Fail("field " + std::to_string(i + 1) + " has unknown type " + std::to_string(code));
    FieldInfo& f = fields_[i];
    f.type = static_cast<FieldType>(code);
    f.size = fsize;
    f.width = WidthOf(f.type, fsize);
    if (f.width == 0)
      Fail("field " + std::to_string(i + 1) + " has invalid size " + std::to_string(fsize));
    f.offset = offset;
    offset += f.width;
  }
  // The decoders index records by these offsets: they must cover the record exactly.
  if (offset != h.record_size)
    Fail("fields take " + std::to_string(offset) + " bytes, records " +
         std::to_string(h.record_size));
  pos += static_cast<size_t>(field_count) * 2 + 4 + field_count * 4u;
  const char* tn = data_.data() + pos;
  h.table_name.assign(tn, strnlen(tn, name_len));
  pos += name_len;
  // Field names: NUL-terminated, each inside the header.
  for (int i = 0; i < field_count; ++i) {
    const size_t end = data_.find('\0', pos);
    if (end == std::string::npos || end >= static_cast<size_t>(h.header_size))
      Fail("field name " + std::to_string(i + 1) + " runs past the header");
    fields_[i].name.assign(data_, pos, end - pos);
    pos = end + 1;
  }

  // The block chain. Each block is visited at most once (a loop is a fault), so the walk ends
  // after at most 65535 steps whatever the file says.
  const size_t blocks_in_file =
      (size - h.header_size) / h.block_size + ((size - h.header_size) % h.block_size ? 1 : 0);
  const size_t per_block = static_cast<size_t>(h.block_size - kBlockHeader) / h.record_size;
  records_.clear();
  // Even a count the file could hold is not trusted for allocation: the chain may hold far fewer.
  records_.reserve(std::min<size_t>(h.record_count, 65536));
  std::vector<bool> seen(blocks_in_file + 1, false);
  int block = h.first_block;
  while (block != 0) {
    // The block's header and records must lie inside the file.
    if (static_cast<size_t>(block) > blocks_in_file)
      Fail("block " + std::to_string(block) + " lies beyond the end of the file");
    if (seen[block]) Fail("block chain loops back to block " + std::to_string(block));
    seen[block] = true;
    const size_t start = h.header_size + static_cast<size_t>(block - 1) * h.block_size;
    if (start + kBlockHeader > size)
      Fail("block " + std::to_string(block) + " is cut off by the end of the file");
    const uint8_t* b = d + start;
    const int next = U16(b);
    const int last_offset = static_cast<int16_t>(U16(b + 4));
    // An empty block says -record size; anything else must be a whole record offset.
    if (last_offset < -h.record_size || (last_offset >= 0 && last_offset % h.record_size != 0) ||
        (last_offset < 0 && last_offset != -h.record_size))
      Fail("block " + std::to_string(block) + " has an invalid record offset " +
           std::to_string(last_offset));
    const size_t n = static_cast<size_t>(last_offset / h.record_size + 1);
    // The records must fit in the block ...
    if (n > per_block)
      Fail("block " + std::to_string(block) + " claims " + std::to_string(n) +
           " records, more than fit");
    // ... and in the file.
    if (start + kBlockHeader + n * h.record_size > size)
      Fail("block " + std::to_string(block) + " is cut off by the end of the file");
    for (size_t r = 0; r < n; ++r)
      records_.push_back(static_cast<uint32_t>(start + kBlockHeader + r * h.record_size));
    block = next;
  }
  // The header's count and the chain are written together: Paradox removes a deleted record
  // from its block (and an emptied block from the chain), and an append is committed by one
  // header write that names the new chain and its count. Fewer records than the count means
  // lost blocks; more means the header is damaged, and trusting it would hide the rest (and a
  // writer working from it would drop them for good).
  if (records_.size() != h.record_count)
    Fail("header counts " + std::to_string(h.record_count) + " records, the blocks hold " +
         std::to_string(records_.size()));
}

int Table::FieldIndex(std::string_view name) const {
  for (size_t i = 0; i < fields_.size(); ++i)
    if (EqualsNoCase(fields_[i].name, name)) return static_cast<int>(i);
  return -1;
}

std::vector<std::vector<Value>> Table::ReadAll() const {
  std::vector<std::vector<Value>> rows;
  rows.reserve(records_.size());
  ForEach([&](const Record& r) { rows.push_back(r.GetAll()); });
  return rows;
}

void Table::BlobBytesIfAny() const {
  if (!blob_loaded_) {
    blob_loaded_ = true;
    if (!blob_path_.empty()) {
      const TableFile file(blob_path_, TableFile::Mode::kRead, FromNativePath(blob_path_));
      sources_.push_back({blob_path_, file.Identity()});
      blob_ = std::make_unique<std::string>(file.ReadAll());
    }
  }
}

const std::string& Table::BlobBytes() const {
  BlobBytesIfAny();
  if (!blob_) Fail("blob data lie in a missing .MB file");
  return *blob_;
}

std::string Table::ReadBlob(std::span<const uint8_t> field, FieldType type) const {
  const size_t leader = field.size() - kBlobTail;
  const uint8_t* tail = field.data() + leader;
  const uint32_t where = U32(tail);
  const uint32_t length = U32(tail + 4);
  if (length <= leader && (where == 0 || length == 0))
    return std::string(reinterpret_cast<const char*>(field.data()), length);
  if (where == 0) Fail("blob of " + std::to_string(length) + " bytes has no place in the .MB file");
  const std::string& mb = BlobBytes();
  const auto* m = reinterpret_cast<const uint8_t*>(mb.data());
  const size_t offset = where & 0xFFFFFF00u;
  const int index = static_cast<int>(where & 0xFF);
  const std::string at = " at .MB offset " + std::to_string(offset);
  // The block's 3-byte head must lie inside the .MB file.
  if (offset == 0 || offset + 3 > mb.size()) Fail("blob" + at + " lies beyond the .MB file");
  const int kind = m[offset];
  if (kind == 2) {
    if (index != 0xFF)
      Fail("single blob block" + at + " referenced with slot " + std::to_string(index));
    // Head (9 bytes) inside the file, stored length equal to the record's, data inside the file.
    if (offset + 9 > mb.size()) Fail("blob block" + at + " is cut off");
    if (U32(m + offset + 3) != length) Fail("blob" + at + " has a different length");
    size_t data = offset + 9;
    size_t n = length;
    if (type == FieldType::Graphic && n >= 8) {
      data += 8;  // a graphic carries 8 bytes of its own header, counted in the length
      n -= 8;
    }
    if (data + n > mb.size() || data + n < data) Fail("blob" + at + " is cut off by the .MB end");
    return mb.substr(data, n);
  }
  if (kind == 3) {
    // The 64 slots end at 12 + 64 * 5 = 332; the slot and the data must lie in this 4 KiB block.
    if (index >= 64) Fail("blob slot " + std::to_string(index) + at + " out of range");
    if (offset + kMbUnit > mb.size()) Fail("suballocated block" + at + " is cut off");
    const uint8_t* slot = m + offset + 12 + 5 * index;
    const size_t units = slot[1];
    const size_t mod = slot[4];
    if (slot[0] == 0 || units == 0 || mod == 0 || mod > 16)
      Fail("blob slot " + std::to_string(index) + at + " is empty or invalid");
    const size_t n = (units - 1) * 16 + mod;
    const size_t data = offset + static_cast<size_t>(slot[0]) * 16;
    if (n != length) Fail("blob slot " + std::to_string(index) + at + " has a different length");
    if (data + n > offset + kMbUnit) Fail("blob slot " + std::to_string(index) + at + " overruns");
    return mb.substr(data, n);
  }
  Fail("blob" + at + " points at a block of type " + std::to_string(kind));
}

bool Record::IsNull(int field) const {
  const FieldInfo& f = table_->fields().at(field);
  if (f.type == FieldType::Alpha) return raw_[f.offset] == 0;
  return AllZero(raw_.data() + f.offset, f.width);
}

int64_t Record::GetInteger(int field) const {
  const FieldInfo& f = table_->fields().at(field);
  const uint8_t* p = raw_.data() + f.offset;
  switch (f.type) {
    case FieldType::Short:
      return AllZero(p, 2) ? 0 : DecodeInt(p, 2);
    case FieldType::Long:
    case FieldType::AutoInc:
    case FieldType::Date:
    case FieldType::Time:
      return AllZero(p, 4) ? 0 : DecodeInt(p, 4);
    case FieldType::Logical:
      return (p[0] & 0x7F) != 0;
    default:
      throw ParadoxError(table_->Name() + ": field " + f.name + " is not an integer");
  }
}

double Record::GetDouble(int field) const {
  const FieldInfo& f = table_->fields().at(field);
  const uint8_t* p = raw_.data() + f.offset;
  switch (f.type) {
    case FieldType::Number:
    case FieldType::Money:
    case FieldType::Timestamp:
      return AllZero(p, 8) ? 0 : DecodeDouble(p);
    default:
      return static_cast<double>(GetInteger(field));
  }
}

std::string_view Record::AlphaView(int field) const {
  const FieldInfo& f = table_->fields().at(field);
  if (f.type != FieldType::Alpha && f.type != FieldType::Bytes)
    throw ParadoxError(table_->Name() + ": field " + f.name + " is not alpha");
  const char* p = reinterpret_cast<const char*>(raw_.data() + f.offset);
  if (f.type == FieldType::Bytes) {
    size_t n = f.width;
    while (n > 0 && p[n - 1] == 0)
      --n;
    return {p, n};
  }
  return {p, strnlen(p, f.width)};
}

Value Record::Get(int field) const {
  const FieldInfo& f = table_->fields().at(field);
  const uint8_t* p = raw_.data() + f.offset;
  if (IsNull(field)) return std::monostate{};
  switch (f.type) {
    case FieldType::Alpha:
      return std::string(AlphaView(field));
    case FieldType::Bytes:
      return std::string(reinterpret_cast<const char*>(p), f.width);
    case FieldType::Short:
      return DecodeInt(p, 2);
    case FieldType::Long:
    case FieldType::AutoInc:
      return DecodeInt(p, 4);
    case FieldType::Date:
      return Date{static_cast<int32_t>(DecodeInt(p, 4))};
    case FieldType::Time:
      return Time{static_cast<int32_t>(DecodeInt(p, 4))};
    case FieldType::Money:
    case FieldType::Number:
      return DecodeDouble(p);
    case FieldType::Timestamp:
      return Timestamp{DecodeDouble(p)};
    case FieldType::Logical:
      return (p[0] & 0x7F) != 0;
    case FieldType::BCD: {
      Decimal dec;
      if (!DecodeBcd(p, f.size, dec.text))
        table_->Fail("BCD value of field " + f.name + " is malformed");
      return dec;
    }
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FmtMemo:
    case FieldType::Ole:
    case FieldType::Graphic: {
      std::string blob = table_->ReadBlob(raw_.subspan(f.offset, f.width), f.type);
      if (blob.empty()) return std::monostate{};
      return blob;
    }
  }
  return std::monostate{};
}

std::vector<Value> Record::GetAll() const {
  std::vector<Value> out;
  const size_t n = table_->fields().size();
  out.reserve(n);
  for (size_t i = 0; i < n; ++i)
    out.push_back(Get(static_cast<int>(i)));
  return out;
}

}  // namespace nc16::px
