#include "external/qvcrypt/QveReader.h"

#include <sodium.h>

#include <fstream>
#include <vector>

#include "external/qvcrypt/QveKeys.h"

namespace nc16::qve {
namespace {

struct PullState {
  crypto_secretstream_xchacha20poly1305_state st;
  ~PullState() { sodium_memzero(&st, sizeof st); }
};

int32_t FromHeaderFault(HeaderFault f) {
  switch (f) {
    case HeaderFault::kNone:
      return QVCRYPT_OK;
    case HeaderFault::kNotQve:
      return QVCRYPT_ERR_NOT_QVE;
    case HeaderFault::kTruncated:
      return QVCRYPT_ERR_TRUNCATED;
    case HeaderFault::kVersion:
      return QVCRYPT_ERR_VERSION;
    case HeaderFault::kParams:
      return QVCRYPT_ERR_PARAMS;
  }
  return QVCRYPT_ERR_INTERNAL;
}

bool ReadExactly(std::ifstream& in, unsigned char* p, size_t n) {
  in.read(reinterpret_cast<char*>(p), static_cast<std::streamsize>(n));
  return static_cast<size_t>(in.gcount()) == n;
}

// The chunk count and plaintext size that a body of `body` bytes implies; false when no whole
// number of chunks fits it, which only a cut file produces.
bool SplitBody(uint64_t body, uint32_t chunk_size, uint64_t& chunks, uint64_t& plain) {
  const uint64_t full = uint64_t{chunk_size} + kChunkOverhead;
  chunks = body / full;
  uint64_t rest = body % full;
  if (rest != 0) {
    if (rest < kChunkOverhead) return false;
    ++chunks;
  }
  if (chunks == 0) return false;
  plain = body - chunks * kChunkOverhead;
  return true;
}

}  // namespace

int32_t ReadQveFile(const std::filesystem::path& file, Mode mode, std::string_view secret,
                    const QvCryptKdfLimits& max_limits, Plaintext& out) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return QVCRYPT_ERR_OPEN;
  in.seekg(0, std::ios::end);
  std::streamoff end = in.tellg();
  in.seekg(0, std::ios::beg);
  if (end < 0 || !in) return QVCRYPT_ERR_OPEN;
  const auto file_size = static_cast<uint64_t>(end);

  unsigned char raw[kHeaderSize];
  size_t have = file_size < kHeaderSize ? static_cast<size_t>(file_size) : kHeaderSize;
  if (!ReadExactly(in, raw, have)) return QVCRYPT_ERR_OPEN;
  Header h;
  if (int32_t r = FromHeaderFault(DecodeHeader({raw, have}, h)); r != QVCRYPT_OK) return r;
  if (h.mode != mode) return QVCRYPT_ERR_WRONG_MODE;
  // The header is not yet authenticated: its limits are bounded before they cost anything.
  if (h.mode == Mode::kPassword &&
      (h.opslimit > max_limits.opslimit || h.memlimit > max_limits.memlimit))
    return QVCRYPT_ERR_PARAMS;

  uint64_t chunks = 0;
  uint64_t plain_size = 0;
  if (!SplitBody(file_size - kHeaderSize, h.chunk_size, chunks, plain_size))
    return QVCRYPT_ERR_TRUNCATED;
  if (plain_size > INT32_MAX) return QVCRYPT_ERR_TOO_LARGE;

  PlainPtr plain(AllocPlain(static_cast<size_t>(plain_size)));
  std::vector<unsigned char> cipher;
  try {
    cipher.resize(h.chunk_size + kChunkOverhead);
  } catch (const std::bad_alloc&) {
    return QVCRYPT_ERR_MEMORY;
  }
  if (!plain) return QVCRYPT_ERR_MEMORY;

  StreamKey key;
  if (!DeriveStreamKey(secret, h, key)) return QVCRYPT_ERR_MEMORY;
  PullState pull;
  if (crypto_secretstream_xchacha20poly1305_init_pull(&pull.st, h.stream_header, key.data()) != 0)
    return QVCRYPT_ERR_AUTH;

  auto* dst = static_cast<unsigned char*>(plain.get());
  uint64_t left = file_size - kHeaderSize;
  for (uint64_t i = 0; i < chunks; ++i) {
    size_t n = left < cipher.size() ? static_cast<size_t>(left) : cipher.size();
    // The file may shrink while it is read; a short read is a cut file.
    if (!ReadExactly(in, cipher.data(), n)) return QVCRYPT_ERR_TRUNCATED;
    left -= n;
    unsigned char tag = 0;
    unsigned long long m = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(&pull.st, dst, &m, &tag, cipher.data(), n,
                                                   i == 0 ? raw : nullptr,
                                                   i == 0 ? kHeaderSize : 0) != 0)
      return QVCRYPT_ERR_AUTH;
    dst += m;
    // The writer uses only these two tags.
    if (tag != crypto_secretstream_xchacha20poly1305_TAG_FINAL &&
        tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE)
      return QVCRYPT_ERR_AUTH;
    const bool final_tag = tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL;
    const bool last = i + 1 == chunks;
    // FINAL before the end means bytes were appended behind a complete stream; its absence at
    // the end means the stream was cut at a chunk boundary.
    if (final_tag && !last) return QVCRYPT_ERR_AUTH;
    if (!final_tag && last) return QVCRYPT_ERR_TRUNCATED;
  }
  out.bytes = std::move(plain);
  out.size = static_cast<size_t>(plain_size);
  return QVCRYPT_OK;
}

}  // namespace nc16::qve
