#pragma once
// Building the bytes the writer puts on disk: the Paradox 7 table header, the primary index file,
// the blob file header, data blocks and encoded records. Pure functions over byte strings; the
// file handling and its ordering live in ParadoxWriter.cpp.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "external/paradox/ParadoxTable.h"
#include "external/paradox/ParadoxWriter.h"

namespace nc16::px::writer {

// Fields of a definition with their record layout filled in; raises ParadoxError (naming
// `table`) when a name, type or size is not allowed.
std::vector<FieldInfo> LayoutFields(const std::string& table, const TableDef& def);

// The complete header (header_size bytes, a multiple of 2 KiB) of an empty Paradox 7 table.
std::string BuildTableHeader(const std::string& table_name, const std::vector<FieldInfo>& fields,
                             int key_field_count, int code_page, int block_size);

// The 4 KiB header block of a new .MB file.
std::string BuildBlobHeader();

// A single-blob block (type 2) holding `data`, padded to whole 4 KiB units.
std::string BuildBlobBlock(std::string_view data, FieldType type);

// The primary index (.PX) for a keyed table whose chain holds blocks `blocks` (block number and
// record count, in chain order) whose first records begin with the keys `first_keys`
// (key_width bytes each), in the file version of the table (`version_id`, header byte 0x39).
struct ChainBlock {
  int number = 0;
  int records = 0;
  std::string first_key;
};
std::string BuildPrimaryIndex(const std::string& table_name, const std::vector<FieldInfo>& fields,
                              int key_field_count, int block_size,
                              const std::vector<ChainBlock>& blocks, int version_id = 12);

// Encodes `value` into the record bytes of field `f`. Blob values longer than the leader are
// handed to `store_blob`, which returns their .MB offset. Raises ParadoxError (naming `table`)
// when the value does not suit the field.
using BlobStore = std::function<uint32_t(std::string_view data, FieldType type)>;
void EncodeField(const std::string& table, const FieldInfo& f, const Value& value, uint8_t* out,
                 const BlobStore& store_blob);

// -1, 0, 1: the order of two records by their first `key_field_count` fields (the byte order of
// the stored values, which Paradox's encodings make the value order; "ascii" sort order).
int CompareKeys(const std::vector<FieldInfo>& fields, int key_field_count, const uint8_t* a,
                const uint8_t* b);

}  // namespace nc16::px::writer
