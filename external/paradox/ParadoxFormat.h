#pragma once
// The on-disk layout of Paradox tables, and the byte codecs shared by the reader and the writer.
//
// A .DB file is a header followed by fixed-size blocks numbered from 1:
//   block n starts at header_size + (n - 1) * block_size.
// Header integers are little-endian; field values in records are big-endian with the sign bit
// flipped, so that a byte-wise comparison sorts them (see the codecs below).
//
// clang-format off
// Table header (.DB, .PX, .Xnn, .Ynn) — offsets in bytes:
//   0x00  u16  record size             (> 0; fields must add up to it)
//   0x02  u16  header size             (>= the fixed part below; <= file size)
//   0x04  u8   file type               0 keyed .DB, 1 .PX, 2 unkeyed .DB, 3..8 secondary index
//   0x05  u8   block size in KiB       1, 2, 3, 4, 8, 16, 32
//   0x06  u32  record count            (not trusted for allocation; equals the chain's records)
//   0x0A  u16  blocks in use
//   0x0C  u16  blocks in file
//   0x0E  u16  first block of the chain (0 = table empty)
//   0x10  u16  last block of the chain
//   0x1E  u16  index root block        (.PX only)
//   0x20  u8   index levels            (.PX only)
//   0x21  u16  field count             (>= 1; its arrays must fit in the header)
//   0x23  u16  key field count         (<= field count)
//   0x25  u32  encryption (v3.x), or FF00FF00 meaning "see 0x5C"
//   0x29  u8   sort order
//   0x39  u8   file version            3 = 3.0, 4 = 3.5, 5..9 = 4.x, 10..11 = 5.x, 12 = 7.x
//   0x49  u32  last auto-increment value
//   0x58  ...  data header, only in .DB/.Xnn files of version 4.x and later:
//   0x5C  u32  encryption (v4.x and later)
//   0x60  u32  file update time
//   0x6A  u16  code page
//   then, at 0x58 (v3.x, .PX) or 0x78:
//          field count x {u8 type, u8 size}
//          u32 table-name pointer (meaningless on disk)
//          field count x u32 field-name pointers (not in .PX)
//          table name, 79 bytes (261 from version 7), NUL-padded
//          field count x NUL-terminated field names (not in .PX)
//          field count x u16 field numbers, sort order name (not read)
//
// Data block (.DB, .PX):
//   0x00  u16  next block (0 = last)
//   0x02  u16  previous block
//   0x04  s16  offset of the last record from 0x06: (records - 1) * record size; -record size
//              when the block is empty
//   0x06       records, back to back
//
// Primary index (.PX): the same header (file type 1, no data header; after the key fields' type
// and size pairs come the table-name pointer and the table name) and the same blocks. An entry is
// the key fields of the first record a block holds, then three integers in the value encoding:
// block number, records below it, 0. Level-1 entries point at .DB blocks, higher levels at .PX
// blocks; 0x1E names the root block, 0x20 the number of levels. All index blocks form one chain,
// root first.
//
// Blob field in a record (type M, F, B, O, G): size - 10 bytes of leader (the blob's first
// bytes), then little-endian:
//   +0    u32  offset in the .MB file | index (low byte: 0xFF = single blob block, else the
//              slot in a suballocated block); 0 when the whole blob fits in the leader
//   +4    u32  length of the blob
//   +8    u16  modification number
//
// .MB file: blocks of 4 KiB units, each beginning with:
//   0x00  u8   type: 0 header, 2 single blob, 3 suballocated, 4 free
//   0x01  u16  size in 4 KiB units
// Type 2 (one blob): 0x03 u32 length, 0x07 u16 modification number, 0x09 data (a graphic has
//   8 more bytes of its own header, counted in the length).
// Type 3 (up to 64 small blobs in 4 KiB): 12-byte header, then 64 slots of 5 bytes at 12 + 5i:
//   +0 u8 data offset / 16, +1 u8 length in 16-byte units (rounded up), +2 u16 modification
//   number, +4 u8 length mod 16 (1..16); length = (units - 1) * 16 + mod.
// clang-format on

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace nc16::px::format {

inline constexpr int kHeaderFixed = 0x58;
inline constexpr int kDataHeaderEnd = 0x78;
inline constexpr int kBlockHeader = 6;
inline constexpr int kBlobTail = 10;
inline constexpr int kMbUnit = 4096;
inline constexpr uint32_t kEncryptionMarker = 0xFF00FF00u;

inline uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t U32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline bool AllZero(const uint8_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (p[i]) return false;
  return true;
}

// Integers: big-endian two's complement with the top bit flipped (so 0 is 0x80 00 ...).
inline int64_t DecodeInt(const uint8_t* p, int n) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i)
    v = (v << 8) | p[i];
  v ^= uint64_t{1} << (8 * n - 1);
  // Sign-extend from n bytes.
  const int shift = 64 - 8 * n;
  return static_cast<int64_t>(v << shift) >> shift;
}
inline void EncodeInt(uint8_t* p, int n, int64_t value) {
  uint64_t v = static_cast<uint64_t>(value) ^ (uint64_t{1} << (8 * n - 1));
  for (int i = n - 1; i >= 0; --i, v >>= 8)
    p[i] = static_cast<uint8_t>(v);
}

// Doubles: big-endian IEEE; a positive value has its sign bit set, a negative one has all bits
// inverted.
inline double DecodeDouble(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i)
    v = (v << 8) | p[i];
  if (v & (uint64_t{1} << 63))
    v &= ~(uint64_t{1} << 63);
  else
    v = ~v;
  return std::bit_cast<double>(v);
}
inline void EncodeDouble(uint8_t* p, double d) {
  uint64_t v = std::bit_cast<uint64_t>(d);
  if (v & (uint64_t{1} << 63))
    v = ~v;
  else
    v |= uint64_t{1} << 63;
  for (int i = 7; i >= 0; --i, v >>= 8)
    p[i] = static_cast<uint8_t>(v);
}

// BCD: 17 bytes = 34 nibbles. Byte 0: bit 7 set for a positive value, bit 6 always set, bits
// 0..5 the decimals; nibbles 2..33 the digits, the last `decimals` of them after the point; a
// negative value has every digit nibble inverted. Returns false when the stored decimals disagree
// with the field.
bool DecodeBcd(const uint8_t* p, int decimals, std::string& out);
// Encodes decimal text ("-12.5"); false when it is not a number or has too many digits.
bool EncodeBcd(uint8_t* p, int decimals, std::string_view text);

}  // namespace nc16::px::format
