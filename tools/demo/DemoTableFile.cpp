#include "tools/demo/DemoTableFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "external/paradox/ParadoxFormat.h"
#include "external/paradox/ParadoxWriter.h"
#include "external/paradox/WriterFormat.h"
#include "platform/Cp932.h"
#include "platform/NewFile.h"
#include "tools/demo/PayrollSchema.h"

namespace nc16::demo {
namespace {

namespace fmt = px::format;

// Block numbers are 16-bit in the file format.
constexpr int kMaxBlocks = 65535;

bool OneOf(px::FieldType type, std::initializer_list<px::FieldType> types) {
  return std::find(types.begin(), types.end(), type) != types.end();
}

}  // namespace

TableFile::TableFile(const std::string& folder_cp932, std::string_view table, int version) {
  const TableSchema& schema = Schema(table);
  name_cp932_ = folder_cp932 + "/" + schema.file_name;
  file_ = NativePath(folder_cp932) / schema.file_name;
  const px::TableDef def = TableDefFor(table, version);
  // The header as the writer lays it out; px::CreateTable would do the same but makes every file
  // durable one by one, which dominates the time of a small installation.
  fields_ = px::writer::LayoutFields(name_cp932_, def);
  for (const px::FieldInfo& f : fields_)
    if (px::IsBlobType(f.type)) throw std::logic_error("blob fields are not supported");
  const std::string header = px::writer::BuildTableHeader(
      file_.filename().string(), fields_, def.key_field_count, def.code_page, def.block_size);
  for (const px::FieldInfo& f : fields_)
    record_size_ += f.width;
  header_size_ = static_cast<int>(header.size());
  block_size_ = def.block_size;
  key_fields_ = def.key_field_count;
  for (int i = 0; i < key_fields_; ++i)
    key_bytes_ += fields_[static_cast<size_t>(i)].width;
  for (const Column& c : schema.columns)
    columns_.emplace(c.name, -1);
  for (size_t i = 0; i < def.fields.size(); ++i)
    columns_[def.fields[i].name] = static_cast<int>(i);

  out_ = platform::CreateNewFile(file_);  // never over an existing table
  if (!out_) Fail(std::filesystem::exists(file_) ? SJ("は既にあります") : SJ("を作れません"));
  WriteAt(0, header.data(), header.size());
  record_.assign(static_cast<size_t>(record_size_), 0);
  per_block_ = (block_size_ - fmt::kBlockHeader) / record_size_;
  block_.assign(static_cast<size_t>(block_size_), 0);
}

TableFile::~TableFile() {
  if (out_) std::fclose(out_);
}

void TableFile::Fail(const std::string& what) const {
  throw std::runtime_error(SJ("テーブル ") + name_cp932_ + " " + what);
}

uint8_t* TableFile::FieldFor(std::string_view column, std::initializer_list<px::FieldType> types,
                             const px::FieldInfo** info) {
  auto it = columns_.find(std::string(column));
  if (it == columns_.end())
    throw std::logic_error("table " + name_cp932_ + " has no column " + std::string(column));
  if (it->second < 0) return nullptr;  // not at this data version
  const px::FieldInfo& f = fields_[static_cast<size_t>(it->second)];
  if (!OneOf(f.type, types))
    throw std::logic_error("column " + std::string(column) + " of " + name_cp932_ +
                           " has another type");
  *info = &f;
  return record_.data() + f.offset;
}

void TableFile::SetInt(std::string_view column, int64_t value) {
  const px::FieldInfo* f = nullptr;
  uint8_t* p = FieldFor(column, {px::FieldType::Short, px::FieldType::Long}, &f);
  if (p) fmt::EncodeInt(p, f->width, value);
}

void TableFile::SetMoney(std::string_view column, double value) {
  const px::FieldInfo* f = nullptr;
  uint8_t* p = FieldFor(column, {px::FieldType::Money, px::FieldType::Number}, &f);
  if (p) fmt::EncodeDouble(p, value);
}

void TableFile::SetBool(std::string_view column, bool value) {
  const px::FieldInfo* f = nullptr;
  uint8_t* p = FieldFor(column, {px::FieldType::Logical}, &f);
  if (p) *p = value ? 0x81 : 0x80;
}

void TableFile::SetText(std::string_view column, std::string_view cp932) {
  const px::FieldInfo* f = nullptr;
  uint8_t* p = FieldFor(column, {px::FieldType::Alpha}, &f);
  if (!p) return;
  if (cp932.size() > static_cast<size_t>(f->width))
    throw std::length_error("text for " + std::string(column) + " of " + name_cp932_ +
                            " longer than the field");
  std::memset(p, 0, static_cast<size_t>(f->width));
  std::memcpy(p, cp932.data(), cp932.size());
}

void TableFile::SetDate(std::string_view column, px::Date value) {
  const px::FieldInfo* f = nullptr;
  uint8_t* p = FieldFor(column, {px::FieldType::Date}, &f);
  if (p) fmt::EncodeInt(p, 4, value.days);
}

void TableFile::SetTimestamp(std::string_view column, px::Timestamp value) {
  const px::FieldInfo* f = nullptr;
  uint8_t* p = FieldFor(column, {px::FieldType::Timestamp}, &f);
  if (p) fmt::EncodeDouble(p, value.ms);
}

void TableFile::Add() {
  if (finished_) throw std::logic_error("record added to a finished table " + name_cp932_);
  if (key_bytes_ > 0) {
    // Field encodings sort byte-wise, so the key prefix compares like the key.
    if (records_ > 0 &&
        std::memcmp(record_.data(), previous_key_.data(), static_cast<size_t>(key_bytes_)) <= 0)
      throw std::logic_error("records of " + name_cp932_ + " out of key order");
    previous_key_.assign(record_.begin(), record_.begin() + key_bytes_);
  }
  std::memcpy(block_.data() + fmt::kBlockHeader + in_block_ * record_size_, record_.data(),
              record_.size());
  std::fill(record_.begin(), record_.end(), 0);
  ++in_block_;
  ++records_;
  if (in_block_ == per_block_) FlushBlock();
}

void TableFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (std::fseek(out_, static_cast<long>(offset), SEEK_SET) != 0 ||
      std::fwrite(data, 1, size, out_) != size)
    Fail(SJ("に書き込めません"));
}

void TableFile::FlushBlock() {
  if (in_block_ == 0) return;
  if (blocks_ == kMaxBlocks) Fail(SJ("のレコードが多すぎます（6万5千ブロックまで）"));
  const int number = ++blocks_;
  uint8_t* b = block_.data();
  // The next pointer assumes another block follows; Finish clears it in the last one.
  fmt::PutU16(b, static_cast<uint16_t>(number + 1));
  fmt::PutU16(b + 2, static_cast<uint16_t>(number - 1));
  fmt::PutU16(b + 4, static_cast<uint16_t>((in_block_ - 1) * record_size_));
  std::memset(b + fmt::kBlockHeader + in_block_ * record_size_, 0,
              block_.size() - fmt::kBlockHeader - static_cast<size_t>(in_block_ * record_size_));
  WriteAt(static_cast<uint64_t>(header_size_) + static_cast<uint64_t>(number - 1) * block_size_, b,
          block_.size());
  if (key_fields_ > 0)
    index_.push_back({number, in_block_,
                      std::string(reinterpret_cast<const char*>(b + fmt::kBlockHeader),
                                  static_cast<size_t>(key_bytes_))});
  in_block_ = 0;
}

void TableFile::Finish() {
  if (finished_) return;
  FlushBlock();
  uint8_t zero[2] = {0, 0};
  if (blocks_ > 0)
    WriteAt(static_cast<uint64_t>(header_size_) + static_cast<uint64_t>(blocks_ - 1) * block_size_,
            zero, 2);
  uint8_t counts[12];
  fmt::PutU32(counts, static_cast<uint32_t>(records_));             // 0x06 records
  fmt::PutU16(counts + 4, static_cast<uint16_t>(blocks_));          // 0x0A blocks in use
  fmt::PutU16(counts + 6, static_cast<uint16_t>(blocks_));          // 0x0C blocks in file
  fmt::PutU16(counts + 8, static_cast<uint16_t>(blocks_ ? 1 : 0));  // 0x0E first block
  fmt::PutU16(counts + 10, static_cast<uint16_t>(blocks_));         // 0x10 last block
  WriteAt(0x06, counts, sizeof counts);
  // The writer stamps the creation time here; a fixed stamp keeps a seed's installation
  // byte-identical from run to run.
  const uint8_t no_time[4] = {0, 0, 0, 0};
  WriteAt(0x60, no_time, sizeof no_time);
  const bool closed = std::fclose(out_) == 0;
  out_ = nullptr;
  if (!closed) Fail(SJ("に書き込めません"));
  if (key_fields_ > 0) {
    const std::string px = px::writer::BuildPrimaryIndex(file_.filename().string(), fields_,
                                                         key_fields_, block_size_, index_);
    std::ofstream out(file_.parent_path() / (file_.stem().string() + ".PX"),
                      std::ios::binary | std::ios::trunc);
    out.write(px.data(), static_cast<std::streamsize>(px.size()));
    out.close();
    if (!out) Fail(SJ("の主索引を書き込めません"));
  }
  finished_ = true;
}

}  // namespace nc16::demo
