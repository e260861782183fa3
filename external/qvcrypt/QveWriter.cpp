#include "external/qvcrypt/QveWriter.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <new>
#include <vector>

#include "external/qvcrypt/QvCryptLib.h"
#include "external/qvcrypt/QveKeys.h"
#include "platform/AtomicFile.h"

namespace nc16::qve {
namespace {

// Ciphertext is gathered into writes of about this size: fewer system calls than one per
// chunk, and the memory stays small whatever the document's size.
constexpr size_t kWriteBatch = 4 * 1024 * 1024;

}  // namespace

struct StreamWriter::State {
  // The secretstream state holds key material; wiped on every path.
  crypto_secretstream_xchacha20poly1305_state push{};
  Header h;
  unsigned char header[kHeaderSize] = {};
  std::unique_ptr<AtomicFile> file;
  // Plaintext not yet encrypted: at most one chunk, held back until more arrives or the stream
  // ends, since the last chunk is tagged FINAL.
  std::vector<unsigned char> pending;
  uint64_t total = 0;
  bool first = true;
  bool failed = false;
  bool committed = false;
  // Two batches, each sized once: a chunk is encrypted straight into the free end of one batch
  // while the other is being written, so the cipher and the disk work at the same time. The
  // write of a batch always finishes (pending_write.get) before that batch is filled again.
  std::unique_ptr<unsigned char[]> batches[2];
  int current = 0;
  size_t filled = 0;
  // Declared after the batches and the file: on every path it is joined before they go.
  std::future<void> pending_write;

  ~State() {
    if (pending_write.valid()) pending_write.wait();
    sodium_memzero(&push, sizeof push);
    if (!pending.empty()) sodium_memzero(pending.data(), pending.size());
  }
};

StreamWriter::StreamWriter() : s_(std::make_unique<State>()) {}
StreamWriter::~StreamWriter() = default;

int32_t StreamWriter::Fail(int32_t code) {
  s_->failed = true;
  return code;
}

int32_t StreamWriter::Open(const std::filesystem::path& target, std::string_view secret, Header h) {
  State& s = *s_;
  if (s.file || s.failed) return Fail(QVCRYPT_ERR_ARGUMENT);
  randombytes_buf(h.salt, sizeof h.salt);

  // Create the temporary file before the (slow) password hash so that a missing folder or a
  // missing permission is reported at once.
  try {
    s.file = std::make_unique<AtomicFile>(target, FileAccess::kOwnerOnly);
  } catch (const EOSError& e) {
    LastFileError() = e.what();
    return Fail(QVCRYPT_ERR_CREATE);
  }

  StreamKey key;
  if (!DeriveStreamKey(secret, h, key)) return Fail(QVCRYPT_ERR_MEMORY);
  crypto_secretstream_xchacha20poly1305_init_push(&s.push, h.stream_header, key.data());
  s.h = h;
  EncodeHeader(h, s.header);

  const size_t chunk_out = size_t{h.chunk_size} + kChunkOverhead;
  for (auto& batch : s.batches)
    batch.reset(new unsigned char[kWriteBatch + chunk_out]);
  s.pending.reserve(h.chunk_size);
  std::memcpy(s.batches[s.current].get(), s.header, kHeaderSize);
  s.filled = kHeaderSize;
  return QVCRYPT_OK;
}

void StreamWriter::Push(const unsigned char* data, size_t n, bool last) {
  State& s = *s_;
  // The header rides as associated data of the first chunk: the stream state chains every
  // later chunk to it, so a changed header byte fails authentication.
  crypto_secretstream_xchacha20poly1305_push(
      &s.push, s.batches[s.current].get() + s.filled, nullptr, data, n,
      s.first ? s.header : nullptr, s.first ? kHeaderSize : 0,
      last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
           : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
  s.filled += n + kChunkOverhead;
  s.first = false;
  if (s.filled >= kWriteBatch || last) WriteBatch();
}

void StreamWriter::WriteBatch() {
  State& s = *s_;
  if (s.pending_write.valid()) s.pending_write.get();  // rethrows the previous write's failure
  // With both launch policies a thread that cannot be started means a plain call later.
  s.pending_write = std::async(std::launch::async | std::launch::deferred,
                               [f = s.file.get(), p = s.batches[s.current].get(), n = s.filled] {
                                 f->Write({reinterpret_cast<const char*>(p), n});
                               });
  s.current ^= 1;
  s.filled = 0;
}

int32_t StreamWriter::Write(std::span<const unsigned char> data) {
  State& s = *s_;
  if (!s.file || s.failed || s.committed) return Fail(QVCRYPT_ERR_ARGUMENT);
  s.total += data.size();
  if (s.total > static_cast<uint64_t>(INT32_MAX)) return Fail(QVCRYPT_ERR_TOO_LARGE);
  const size_t chunk = s.h.chunk_size;
  try {
    while (!data.empty()) {
      // A full chunk goes out only when more plaintext follows it: the last one is FINAL.
      if (s.pending.size() == chunk) {
        Push(s.pending.data(), chunk, false);
        s.pending.clear();
      }
      // Whole chunks straight from the caller's bytes, keeping back what may be the last.
      while (s.pending.empty() && data.size() > chunk) {
        Push(data.data(), chunk, false);
        data = data.subspan(chunk);
      }
      const size_t n = std::min(chunk - s.pending.size(), data.size());
      s.pending.insert(s.pending.end(), data.begin(), data.begin() + static_cast<ptrdiff_t>(n));
      data = data.subspan(n);
    }
  } catch (const EOSError& e) {
    LastFileError() = e.what();
    return Fail(QVCRYPT_ERR_WRITE);
  }
  return QVCRYPT_OK;
}

int32_t StreamWriter::Commit() {
  State& s = *s_;
  if (!s.file || s.failed || s.committed) return Fail(QVCRYPT_ERR_ARGUMENT);
  try {
    // At least one chunk: an empty document still gets its FINAL chunk, so that a file cut
    // right after the header reads as truncated.
    Push(s.pending.data(), s.pending.size(), true);
    sodium_memzero(s.pending.data(), s.pending.size());
    s.pending.clear();
    s.pending_write.get();
    s.file->Commit();
  } catch (const EOSError& e) {
    LastFileError() = e.what();
    return Fail(QVCRYPT_ERR_WRITE);
  }
  s.committed = true;
  return QVCRYPT_OK;
}

int32_t WriteQveFile(std::span<const unsigned char> data, const std::filesystem::path& target,
                     std::string_view secret, Header h) {
  StreamWriter writer;
  if (int32_t r = writer.Open(target, secret, h); r != QVCRYPT_OK) return r;
  if (int32_t r = writer.Write(data); r != QVCRYPT_OK) return r;
  return writer.Commit();
}

}  // namespace nc16::qve
