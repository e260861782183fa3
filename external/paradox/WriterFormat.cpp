#include "external/paradox/WriterFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>

#include "external/paradox/ParadoxFormat.h"
#include "platform/Cp932.h"

namespace nc16::px::writer {

using namespace format;

namespace {

constexpr int kTableNameLen = 261;  // Paradox 7
constexpr int kHeaderUnit = 2048;

[[noreturn]] void Bad(const std::string& table, const std::string& what) {
  throw ParadoxError(SJ("テーブル ") + table + SJ(" に書き込めません: ") + what);
}

int BlockCode(int block_size) {
  return block_size / 1024;
}

// The value as a whole number, for the integer fields.
bool AsInteger(const Value& v, int64_t& out) {
  if (const auto* i = std::get_if<int64_t>(&v)) return out = *i, true;
  if (const auto* b = std::get_if<bool>(&v)) return out = *b, true;
  if (const auto* d = std::get_if<double>(&v)) {
    if (!std::isfinite(*d) || std::fabs(*d) > 9.2e18) return false;
    out = std::llround(*d);
    return true;
  }
  if (const auto* dt = std::get_if<Date>(&v)) return out = dt->days, true;
  if (const auto* t = std::get_if<Time>(&v)) return out = t->ms, true;
  return false;
}

bool AsDouble(const Value& v, double& out) {
  if (const auto* d = std::get_if<double>(&v)) return out = *d, true;
  if (const auto* i = std::get_if<int64_t>(&v)) return out = static_cast<double>(*i), true;
  if (const auto* b = std::get_if<bool>(&v)) return out = *b, true;
  if (const auto* ts = std::get_if<Timestamp>(&v)) return out = ts->ms, true;
  return false;
}

std::string TypeError(const FieldInfo& f) {
  return "field " + f.name + " (" + std::string(FieldTypeName(f.type)) + ") cannot hold the value";
}

}  // namespace

std::vector<FieldInfo> LayoutFields(const std::string& table, const TableDef& def) {
  if (def.fields.empty()) Bad(table, "no fields");
  if (def.fields.size() > 255) Bad(table, "more than 255 fields");
  if (def.key_field_count < 0 || def.key_field_count > static_cast<int>(def.fields.size()))
    Bad(table, "key field count out of range");
  const int bs = def.block_size;
  if (bs != 1024 && bs != 2048 && bs != 4096 && bs != 8192 && bs != 16384 && bs != 32768)
    Bad(table, "block size " + std::to_string(bs) + " not allowed");
  std::vector<FieldInfo> out;
  int offset = 0;
  int autoincs = 0;
  for (const FieldDef& d : def.fields) {
    FieldInfo f;
    f.name = d.name;
    f.type = d.type;
    f.size = d.size;
    if (d.name.empty() || d.name.size() > 25 || d.name.find('\0') != std::string::npos)
      Bad(table, "field name '" + d.name + "' must be 1 to 25 bytes");
    for (const FieldInfo& g : out)
      if (g.name == d.name) Bad(table, "field name " + d.name + " used twice");
    switch (d.type) {
      case FieldType::Alpha:
      case FieldType::Bytes:
        if (d.size < 1 || d.size > 255) Bad(table, "size of " + d.name + " must be 1..255");
        f.width = d.size;
        break;
      case FieldType::Short:
        f.width = f.size = 2;
        break;
      case FieldType::AutoInc:
        ++autoincs;
        [[fallthrough]];
      case FieldType::Long:
      case FieldType::Date:
      case FieldType::Time:
        f.width = f.size = 4;
        break;
      case FieldType::Money:
      case FieldType::Number:
      case FieldType::Timestamp:
        f.width = f.size = 8;
        break;
      case FieldType::Logical:
        f.width = f.size = 1;
        break;
      case FieldType::BCD:
        if (d.size < 0 || d.size > 32) Bad(table, "decimals of " + d.name + " must be 0..32");
        f.width = 17;
        break;
      case FieldType::Memo:
      case FieldType::Blob:
      case FieldType::FmtMemo:
      case FieldType::Ole:
      case FieldType::Graphic: {
        const int leader = d.size == 0 ? 10 : d.size;
        if (leader < 1 || leader > 240) Bad(table, "leader of " + d.name + " must be 1..240");
        f.width = f.size = leader + kBlobTail;
        break;
      }
      default:
        Bad(table, "field " + d.name + " has an unknown type");
    }
    f.offset = offset;
    offset += f.width;
    out.push_back(std::move(f));
  }
  if (autoincs > 1) Bad(table, "more than one auto-increment field");
  if (offset > bs - kBlockHeader)
    Bad(table, "records of " + std::to_string(offset) + " bytes do not fit in a block");
  for (int i = 0; i < def.key_field_count; ++i)
    if (IsBlobType(out[i].type)) Bad(table, "blob field " + out[i].name + " cannot be a key");
  return out;
}

std::string BuildTableHeader(const std::string& table_name, const std::vector<FieldInfo>& fields,
                             int key_field_count, int code_page, int block_size) {
  const int nf = static_cast<int>(fields.size());
  int names = 0;
  for (const auto& f : fields)
    names += static_cast<int>(f.name.size()) + 1;
  const int used = kDataHeaderEnd + nf * 2 + 4 + nf * 4 + kTableNameLen + names + nf * 2 + 6;
  const int header_size = (used + kHeaderUnit - 1) / kHeaderUnit * kHeaderUnit;
  int record_size = 0;
  for (const auto& f : fields)
    record_size += f.width;

  std::string h(header_size, '\0');
  auto* p = reinterpret_cast<uint8_t*>(h.data());
  PutU16(p + 0x00, static_cast<uint16_t>(record_size));
  PutU16(p + 0x02, static_cast<uint16_t>(header_size));
  p[0x04] = key_field_count > 0 ? 0 : 2;
  p[0x05] = static_cast<uint8_t>(BlockCode(block_size));
  PutU16(p + 0x12, 3);  // as Paradox's own tables have it
  PutU16(p + 0x21, static_cast<uint16_t>(nf));
  PutU16(p + 0x23, static_cast<uint16_t>(key_field_count));
  PutU32(p + 0x25, kEncryptionMarker);
  p[0x2D] = 2;  // change counters: pxlib's choice, which Paradox accepts
  p[0x2E] = 1;
  p[0x39] = 12;  // Paradox 7
  PutU16(p + 0x3A, 1);
  p[0x3E] = 0x1F;
  p[0x3F] = 0x0F;
  p[0x56] = 0x20;
  // Data header.
  PutU16(p + 0x58, 0x010C);
  PutU16(p + 0x5A, 0x010C);
  PutU32(p + 0x60, static_cast<uint32_t>(std::time(nullptr)));
  PutU16(p + 0x64, static_cast<uint16_t>(nf + 1));
  PutU16(p + 0x66, static_cast<uint16_t>(0x20 + nf * 6 + 4 + kTableNameLen + names));
  PutU16(p + 0x6A, static_cast<uint16_t>(code_page));
  p[0x6C] = 1;
  p[0x6D] = 1;
  PutU16(p + 0x6E, static_cast<uint16_t>(0x18 + nf * 8 + 4 + kTableNameLen + names + 8));
  size_t pos = kDataHeaderEnd;
  for (const auto& f : fields) {
    p[pos++] = static_cast<uint8_t>(f.type);
    p[pos++] = static_cast<uint8_t>(f.size);
  }
  pos += 4 + nf * 4;  // the in-memory pointers Paradox keeps here mean nothing on disk
  std::memcpy(p + pos, table_name.data(), std::min<size_t>(table_name.size(), kTableNameLen - 1));
  pos += kTableNameLen;
  for (const auto& f : fields) {
    std::memcpy(p + pos, f.name.data(), f.name.size());
    pos += f.name.size() + 1;
  }
  for (int i = 0; i < nf; ++i, pos += 2)
    PutU16(p + pos, static_cast<uint16_t>(i + 1));
  std::memcpy(p + pos, "ascii", 5);
  return h;
}

std::string BuildBlobHeader() {
  std::string h(kMbUnit, '\0');
  auto* p = reinterpret_cast<uint8_t*>(h.data());
  PutU16(p + 0x01, 1);
  PutU16(p + 0x03, 1);
  PutU16(p + 0x0B, 0x1000);
  PutU16(p + 0x0D, 0x1000);
  p[0x10] = 0x10;
  PutU16(p + 0x11, 0x40);
  PutU16(p + 0x13, 0x800);
  return h;
}

std::string BuildBlobBlock(std::string_view data, FieldType type) {
  const size_t extra = type == FieldType::Graphic ? 8 : 0;
  const size_t need = 9 + extra + data.size();
  const size_t units = (need + kMbUnit - 1) / kMbUnit;
  std::string b(units * kMbUnit, '\0');
  auto* p = reinterpret_cast<uint8_t*>(b.data());
  p[0] = 2;
  PutU16(p + 1, static_cast<uint16_t>(units));
  PutU32(p + 3, static_cast<uint32_t>(data.size() + extra));
  PutU16(p + 7, 1);
  if (extra) PutU32(p + 9 + 4, static_cast<uint32_t>(data.size()));
  std::memcpy(p + 9 + extra, data.data(), data.size());
  return b;
}

std::string BuildPrimaryIndex(const std::string& table_name, const std::vector<FieldInfo>& fields,
                              int key_field_count, int block_size,
                              const std::vector<ChainBlock>& blocks, int version_id) {
  int key_width = 0;
  for (int i = 0; i < key_field_count; ++i)
    key_width += fields[i].width;
  const int entry = key_width + 6;
  const int per_block = (block_size - kBlockHeader) / entry;

  // Levels from the leaves up: level 1 points at data blocks, each higher level at the blocks of
  // the level below, until one block (the root) holds them all.
  struct Entry {
    std::string key;
    int child = 0;  // index into the level below (or the data block number at level 1)
    int count = 0;
  };
  std::vector<std::vector<std::vector<Entry>>> levels;  // level -> blocks -> entries
  std::vector<Entry> current;
  for (const ChainBlock& b : blocks)
    current.push_back({b.first_key, b.number, b.records});
  while (true) {
    std::vector<std::vector<Entry>> level;
    for (size_t i = 0; i < current.size(); i += per_block)
      level.emplace_back(current.begin() + i,
                         current.begin() + std::min(current.size(), i + per_block));
    levels.push_back(level);
    if (level.size() <= 1) break;
    std::vector<Entry> up;
    for (size_t i = 0; i < level.size(); ++i) {
      int sum = 0;
      for (const Entry& e : level[i])
        sum += e.count;
      up.push_back({level[i].front().key, static_cast<int>(i), sum});
    }
    current = std::move(up);
  }
  // Block numbers from the root down: the root is block 1.
  std::vector<int> first_number(levels.size());
  int next_number = 1;
  for (size_t l = levels.size(); l-- > 0;) {
    first_number[l] = next_number;
    next_number += static_cast<int>(levels[l].size());
  }
  const int total_blocks = blocks.empty() ? 0 : next_number - 1;
  int total_entries = 0;
  for (const auto& level : levels)
    for (const auto& blk : level)
      total_entries += static_cast<int>(blk.size());

  const int nf = key_field_count;
  std::string out(kHeaderUnit, '\0');
  auto* p = reinterpret_cast<uint8_t*>(out.data());
  PutU16(p + 0x00, static_cast<uint16_t>(entry));
  PutU16(p + 0x02, kHeaderUnit);
  p[0x04] = 1;
  p[0x05] = static_cast<uint8_t>(BlockCode(block_size));
  PutU32(p + 0x06, static_cast<uint32_t>(total_entries));
  PutU16(p + 0x0A, static_cast<uint16_t>(total_blocks));
  PutU16(p + 0x0C, static_cast<uint16_t>(total_blocks));
  PutU16(p + 0x0E, total_blocks ? 1 : 0);
  PutU16(p + 0x10, static_cast<uint16_t>(total_blocks));
  PutU16(p + 0x12, 3);
  PutU16(p + 0x1E, 1);
  p[0x20] = blocks.empty() ? 0 : static_cast<uint8_t>(levels.size());
  PutU16(p + 0x21, static_cast<uint16_t>(nf));
  p[0x39] = static_cast<uint8_t>(version_id);  // the table's own version
  const int name_len = version_id >= 12 ? kTableNameLen : 79;
  size_t pos = kHeaderFixed;
  for (int i = 0; i < nf; ++i) {
    p[pos++] = static_cast<uint8_t>(fields[i].type);
    p[pos++] = static_cast<uint8_t>(fields[i].size);
  }
  pos += 4;
  std::string px_name = table_name;
  if (const size_t dot = px_name.rfind('.'); dot != std::string::npos) px_name.resize(dot);
  px_name += ".PX";
  std::memcpy(p + pos, px_name.data(), std::min<size_t>(px_name.size(), name_len - 1));
  if (blocks.empty()) return out;

  out.resize(kHeaderUnit + static_cast<size_t>(total_blocks) * block_size, '\0');
  p = reinterpret_cast<uint8_t*>(out.data());
  for (size_t l = 0; l < levels.size(); ++l) {
    const auto& level = levels[l];
    for (size_t bi = 0; bi < level.size(); ++bi) {
      const int number = first_number[l] + static_cast<int>(bi);
      uint8_t* b = p + kHeaderUnit + static_cast<size_t>(number - 1) * block_size;
      // One chain through all index blocks, root first (as Paradox links them; pxlib reads the
      // entries along it).
      PutU16(b, number < total_blocks ? static_cast<uint16_t>(number + 1) : 0);
      PutU16(b + 2, static_cast<uint16_t>(number - 1));
      PutU16(b + 4, static_cast<uint16_t>((level[bi].size() - 1) * entry));
      uint8_t* e = b + kBlockHeader;
      for (const Entry& en : level[bi]) {
        std::memcpy(e, en.key.data(), key_width);
        const int child = l == 0 ? en.child : first_number[l - 1] + en.child;
        EncodeInt(e + key_width, 2, child);
        EncodeInt(e + key_width + 2, 2, std::min(en.count, 0x7FFF));
        EncodeInt(e + key_width + 4, 2, 0);
        e += entry;
      }
    }
  }
  return out;
}

void EncodeField(const std::string& table, const FieldInfo& f, const Value& value, uint8_t* out,
                 const BlobStore& store_blob) {
  std::memset(out, 0, f.width);
  if (std::holds_alternative<std::monostate>(value)) return;
  int64_t i = 0;
  double d = 0;
  switch (f.type) {
    case FieldType::Alpha:
    case FieldType::Bytes: {
      const auto* s = std::get_if<std::string>(&value);
      if (!s) Bad(table, TypeError(f));
      if (static_cast<int>(s->size()) > f.width)
        Bad(table, "value of " + std::to_string(s->size()) + " bytes too long for field " + f.name +
                       " (" + std::to_string(f.width) + ")");
      std::memcpy(out, s->data(), s->size());
      return;
    }
    case FieldType::Short:
      if (!AsInteger(value, i) || i < -32767 || i > 32767) Bad(table, TypeError(f));
      EncodeInt(out, 2, i);
      return;
    case FieldType::Long:
    case FieldType::AutoInc:
    case FieldType::Date:
    case FieldType::Time:
      if (!AsInteger(value, i) || i < -2147483647 || i > 2147483647) Bad(table, TypeError(f));
      EncodeInt(out, 4, i);
      return;
    case FieldType::Money:
    case FieldType::Number:
    case FieldType::Timestamp:
      if (!AsDouble(value, d) || !std::isfinite(d)) Bad(table, TypeError(f));
      EncodeDouble(out, d);
      return;
    case FieldType::Logical:
      if (!AsInteger(value, i)) Bad(table, TypeError(f));
      out[0] = i ? 0x81 : 0x80;
      return;
    case FieldType::BCD: {
      std::string text;
      if (const auto* dec = std::get_if<Decimal>(&value)) {
        text = dec->text;
      } else if (AsDouble(value, d)) {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed, f.size);
        text.assign(buf, r.ptr);
      }
      if (text.empty() || !EncodeBcd(out, f.size, text)) Bad(table, TypeError(f));
      return;
    }
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FmtMemo:
    case FieldType::Ole:
    case FieldType::Graphic: {
      const auto* s = std::get_if<std::string>(&value);
      if (!s) Bad(table, TypeError(f));
      if (s->empty()) return;
      const size_t leader = f.width - kBlobTail;
      std::memcpy(out, s->data(), std::min(leader, s->size()));
      uint32_t where = 0;
      uint32_t length = static_cast<uint32_t>(s->size());
      if (s->size() > leader || f.type == FieldType::Graphic) {
        where = store_blob(*s, f.type) | 0xFF;
        if (f.type == FieldType::Graphic) length += 8;
      }
      PutU32(out + leader, where);
      PutU32(out + leader + 4, length);
      PutU16(out + leader + 8, 1);
      return;
    }
  }
  Bad(table, TypeError(f));
}

int CompareKeys(const std::vector<FieldInfo>& fields, int key_field_count, const uint8_t* a,
                const uint8_t* b) {
  for (int k = 0; k < key_field_count; ++k) {
    const FieldInfo& f = fields[k];
    const int c = std::memcmp(a + f.offset, b + f.offset, f.width);
    if (c != 0) return c < 0 ? -1 : 1;
  }
  return 0;
}

}  // namespace nc16::px::writer
