#include "external/qvcrypt/QveReader.h"

#include <sodium.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

#include "external/qvcrypt/QveKeys.h"
#include "platform/Cp932.h"

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

// The plaintext, gathered chunk by chunk into a buffer that grows (doubling, up to the size the
// file implies) only as chunks authenticate: a wrong password or a damaged file costs at most
// one chunk of memory, whatever size the file claims. A buffer that is given up is wiped.
class GrowingPlain {
 public:
  explicit GrowingPlain(uint64_t limit) : limit_(limit) {}

  // Room for `n` more bytes at Free(); false when memory is exhausted.
  bool Reserve(size_t n) {
    if (buffer_ && used_ + n <= capacity_) return true;
    const size_t want =
        std::max(used_ + n, static_cast<size_t>(std::min<uint64_t>(limit_, capacity_ * 2)));
    PlainPtr bigger(AllocPlain(want));
    if (!bigger) return false;
    if (used_ != 0) std::memcpy(bigger.get(), buffer_.get(), used_);
    buffer_ = std::move(bigger);
    capacity_ = want;
    return true;
  }
  unsigned char* Free() { return static_cast<unsigned char*>(buffer_.get()) + used_; }
  void Add(size_t n) { used_ += n; }
  size_t Size() const { return used_; }
  PlainPtr Release() { return std::move(buffer_); }

 private:
  uint64_t limit_;
  PlainPtr buffer_;
  size_t capacity_ = 0;
  size_t used_ = 0;
};

// Notes why `file` cannot be read and gives the code for it.
int32_t OpenFault(const std::filesystem::path& file, const std::string& cause) {
  LastFileError() = FromNativePath(file) + ": " + cause;
  return QVCRYPT_ERR_OPEN;
}

}  // namespace

int32_t ReadQveFile(const std::filesystem::path& file, Mode mode, std::string_view secret,
                    const QvCryptKdfLimits& max_limits, Plaintext& out) {
  // A FIFO or a device would block the open or the reads for ever; only regular files are read.
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (ec) return OpenFault(file, Utf8ToCp932(ec.message()));
  if (!std::filesystem::is_regular_file(status))
    return OpenFault(file, SJ("通常のファイルではありません"));
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return OpenFault(file, errno != 0 ? Utf8ToCp932(std::strerror(errno)) : SJ("開けません"));
  in.seekg(0, std::ios::end);
  std::streamoff end = in.tellg();
  in.seekg(0, std::ios::beg);
  if (end < 0 || !in) return OpenFault(file, SJ("読み込めません"));
  const auto file_size = static_cast<uint64_t>(end);

  unsigned char raw[kHeaderSize];
  size_t have = file_size < kHeaderSize ? static_cast<size_t>(file_size) : kHeaderSize;
  if (!ReadExactly(in, raw, have)) return OpenFault(file, SJ("読み込めません"));
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

  GrowingPlain plain(plain_size);
  std::vector<unsigned char> cipher;
  try {
    cipher.resize(h.chunk_size + kChunkOverhead);
  } catch (const std::bad_alloc&) {
    return QVCRYPT_ERR_MEMORY;
  }

  StreamKey key;
  if (!DeriveStreamKey(secret, h, key)) return QVCRYPT_ERR_MEMORY;
  PullState pull;
  if (crypto_secretstream_xchacha20poly1305_init_pull(&pull.st, h.stream_header, key.data()) != 0)
    return QVCRYPT_ERR_AUTH;

  uint64_t left = file_size - kHeaderSize;
  for (uint64_t i = 0; i < chunks; ++i) {
    size_t n = left < cipher.size() ? static_cast<size_t>(left) : cipher.size();
    // The file may shrink while it is read; a short read is a cut file.
    if (!ReadExactly(in, cipher.data(), n)) return QVCRYPT_ERR_TRUNCATED;
    left -= n;
    if (!plain.Reserve(n - kChunkOverhead)) return QVCRYPT_ERR_MEMORY;
    unsigned char tag = 0;
    unsigned long long m = 0;
    if (crypto_secretstream_xchacha20poly1305_pull(&pull.st, plain.Free(), &m, &tag, cipher.data(),
                                                   n, i == 0 ? raw : nullptr,
                                                   i == 0 ? kHeaderSize : 0) != 0)
      return QVCRYPT_ERR_AUTH;
    plain.Add(static_cast<size_t>(m));
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
  out.size = plain.Size();
  out.bytes = plain.Release();
  return QVCRYPT_OK;
}

}  // namespace nc16::qve
