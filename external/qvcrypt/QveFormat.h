#pragma once
// The on-disk layout of an encrypted intermediate file (format version 1). Integers are little
// endian. The long form, with the reasons, is docs/qve-format.md.
//
// clang-format off
//   offset size field
//        0    8 magic "QVCRYPT" 0x1A
//        8    2 format version (1)
//       10    1 mode: 1 password, 2 key
//       11    1 key derivation: 1 Argon2id v1.3 (password), 2 keyed BLAKE2b-256 (key)
//       12    4 chunk size C: plaintext bytes per chunk, 4 KiB to 16 MiB
//       16    8 Argon2id passes (0 in key mode)
//       24    8 Argon2id memory in bytes (0 in key mode)
//       32   16 salt, random per file
//       48   24 secretstream header (XChaCha20 nonce), random per file
//       72    - chunks: C + 17 bytes each, the last 17 to C + 17 bytes and tagged FINAL;
//               the first chunk carries bytes 0..71 as associated data
// clang-format on

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace nc16::qve {

// The text QvCryptLastFileError gives: the reader and the writer note a file failure here
// before they return its code. Per thread; cleared when a library function starts.
std::string& LastFileError();

inline constexpr unsigned char kMagic[8] = {'Q', 'V', 'C', 'R', 'Y', 'P', 'T', 0x1A};
inline constexpr uint16_t kVersion = 1;

inline constexpr size_t kOffVersion = 8;
inline constexpr size_t kOffMode = 10;
inline constexpr size_t kOffKdf = 11;
inline constexpr size_t kOffChunkSize = 12;
inline constexpr size_t kOffOpslimit = 16;
inline constexpr size_t kOffMemlimit = 24;
inline constexpr size_t kOffSalt = 32;
inline constexpr size_t kOffStreamHeader = 48;
inline constexpr size_t kHeaderSize = 72;

inline constexpr size_t kSaltSize = 16;
inline constexpr size_t kStreamHeaderSize = 24;
inline constexpr size_t kChunkOverhead = 17;  // secretstream ABYTES: tag byte + Poly1305 MAC

inline constexpr uint32_t kDefaultChunkSize = 64 * 1024;
inline constexpr uint32_t kMinChunkSize = 4 * 1024;
inline constexpr uint32_t kMaxChunkSize = 16 * 1024 * 1024;

enum class Mode : uint8_t { kPassword = 1, kKey = 2 };
enum class Kdf : uint8_t { kArgon2id13 = 1, kKeyedBlake2b = 2 };

struct Header {
  uint16_t version = kVersion;
  Mode mode = Mode::kPassword;
  Kdf kdf = Kdf::kArgon2id13;
  uint32_t chunk_size = kDefaultChunkSize;
  uint64_t opslimit = 0;
  uint64_t memlimit = 0;
  unsigned char salt[kSaltSize] = {};
  unsigned char stream_header[kStreamHeaderSize] = {};
};

// Writes the header's kHeaderSize bytes to `out`.
void EncodeHeader(const Header& h, std::span<unsigned char, kHeaderSize> out);

enum class HeaderFault {
  kNone,
  kNotQve,     // the magic does not match (or the file is shorter than it and differs)
  kTruncated,  // a prefix of a header
  kVersion,    // a version other than kVersion
  kParams,     // a field outside the values this reader knows
};

// Parses the first bytes of a file; `bytes` may be shorter than a header. Checks the field
// values themselves (mode, derivation and the limits belonging together, chunk size range) but
// not the caller's cost ceilings.
HeaderFault DecodeHeader(std::span<const unsigned char> bytes, Header& h);

}  // namespace nc16::qve
