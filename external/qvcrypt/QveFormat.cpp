#include "external/qvcrypt/QveFormat.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

namespace nc16::qve {
namespace {

template <typename T>
void PutLe(unsigned char* p, T v) {
  for (size_t i = 0; i < sizeof(T); ++i)
    p[i] = static_cast<unsigned char>(v >> (8 * i));
}

template <typename T>
T GetLe(const unsigned char* p) {
  T v = 0;
  for (size_t i = 0; i < sizeof(T); ++i)
    v |= static_cast<T>(static_cast<T>(p[i]) << (8 * i));
  return v;
}

}  // namespace

void EncodeHeader(const Header& h, std::span<unsigned char, kHeaderSize> out) {
  unsigned char* p = out.data();
  std::memcpy(p, kMagic, sizeof kMagic);
  PutLe<uint16_t>(p + kOffVersion, h.version);
  p[kOffMode] = static_cast<unsigned char>(h.mode);
  p[kOffKdf] = static_cast<unsigned char>(h.kdf);
  PutLe<uint32_t>(p + kOffChunkSize, h.chunk_size);
  PutLe<uint64_t>(p + kOffOpslimit, h.opslimit);
  PutLe<uint64_t>(p + kOffMemlimit, h.memlimit);
  std::memcpy(p + kOffSalt, h.salt, kSaltSize);
  std::memcpy(p + kOffStreamHeader, h.stream_header, kStreamHeaderSize);
}

HeaderFault DecodeHeader(std::span<const unsigned char> bytes, Header& h) {
  // The magic decides first: a short file that starts like one of ours is a truncated file,
  // anything else is some other file.
  size_t magic_part = std::min(bytes.size(), sizeof kMagic);
  if (std::memcmp(bytes.data(), kMagic, magic_part) != 0) return HeaderFault::kNotQve;
  // The version comes before the length check: a later version may have a longer header.
  if (bytes.size() < kOffVersion + 2) return HeaderFault::kTruncated;
  h.version = GetLe<uint16_t>(bytes.data() + kOffVersion);
  if (h.version != kVersion) return HeaderFault::kVersion;
  if (bytes.size() < kHeaderSize) return HeaderFault::kTruncated;

  const unsigned char* p = bytes.data();
  unsigned mode = p[kOffMode];
  unsigned kdf = p[kOffKdf];
  h.chunk_size = GetLe<uint32_t>(p + kOffChunkSize);
  h.opslimit = GetLe<uint64_t>(p + kOffOpslimit);
  h.memlimit = GetLe<uint64_t>(p + kOffMemlimit);
  std::memcpy(h.salt, p + kOffSalt, kSaltSize);
  std::memcpy(h.stream_header, p + kOffStreamHeader, kStreamHeaderSize);

  if (h.chunk_size < kMinChunkSize || h.chunk_size > kMaxChunkSize) return HeaderFault::kParams;
  if (mode == static_cast<unsigned>(Mode::kPassword)) {
    if (kdf != static_cast<unsigned>(Kdf::kArgon2id13)) return HeaderFault::kParams;
    if (h.opslimit < crypto_pwhash_argon2id_OPSLIMIT_MIN ||
        h.memlimit < crypto_pwhash_argon2id_MEMLIMIT_MIN)
      return HeaderFault::kParams;
  } else if (mode == static_cast<unsigned>(Mode::kKey)) {
    // The limits mean nothing without a password hash; requiring zero keeps every header byte
    // meaningful, so no bit can change unnoticed before the first chunk is even checked.
    if (kdf != static_cast<unsigned>(Kdf::kKeyedBlake2b)) return HeaderFault::kParams;
    if (h.opslimit != 0 || h.memlimit != 0) return HeaderFault::kParams;
  } else {
    return HeaderFault::kParams;
  }
  h.mode = static_cast<Mode>(mode);
  h.kdf = static_cast<Kdf>(kdf);
  return HeaderFault::kNone;
}

}  // namespace nc16::qve
