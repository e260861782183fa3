#include "external/qvcrypt/QveWriter.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <new>

#include "external/qvcrypt/QvCryptLib.h"
#include "external/qvcrypt/QveKeys.h"
#include "platform/AtomicFile.h"

namespace nc16::qve {
namespace {

// Ciphertext is gathered into writes of about this size: fewer system calls than one per
// chunk, and the memory stays small whatever the document's size.
constexpr size_t kWriteBatch = 4 * 1024 * 1024;

// The secretstream state holds key material; wipe it on every path.
struct PushState {
  crypto_secretstream_xchacha20poly1305_state st;
  ~PushState() { sodium_memzero(&st, sizeof st); }
};

}  // namespace

int32_t WriteQveFile(std::span<const unsigned char> data, const std::filesystem::path& target,
                     std::string_view secret, Header h) {
  randombytes_buf(h.salt, sizeof h.salt);

  // Create the temporary file before the (slow) password hash so that a missing folder or a
  // missing permission is reported at once.
  std::unique_ptr<AtomicFile> file;
  try {
    file = std::make_unique<AtomicFile>(target, FileAccess::kOwnerOnly);
  } catch (const EOSError& e) {
    LastFileError() = e.what();
    return QVCRYPT_ERR_CREATE;
  }

  StreamKey key;
  if (!DeriveStreamKey(secret, h, key)) return QVCRYPT_ERR_MEMORY;

  PushState push;
  crypto_secretstream_xchacha20poly1305_init_push(&push.st, h.stream_header, key.data());
  unsigned char header[kHeaderSize];
  EncodeHeader(h, header);

  // Two batches, each sized once: a chunk is encrypted straight into the free end of one batch
  // while the other is being written, so the cipher and the disk work at the same time. The
  // write of a batch always finishes (pending.get) before that batch is filled again.
  const size_t chunk_out = size_t{h.chunk_size} + kChunkOverhead;
  std::unique_ptr<unsigned char[]> batches[2] = {
      std::unique_ptr<unsigned char[]>(new unsigned char[kWriteBatch + chunk_out]),
      std::unique_ptr<unsigned char[]>(new unsigned char[kWriteBatch + chunk_out])};
  int current = 0;
  std::memcpy(batches[current].get(), header, kHeaderSize);
  size_t filled = kHeaderSize;
  // Declared after the batches and the file: on every path it is joined before they go.
  std::future<void> pending;

  try {
    size_t pos = 0;
    bool first = true;
    // At least one chunk: an empty document still gets its FINAL chunk, so that a file cut
    // right after the header reads as truncated.
    do {
      size_t n = std::min<size_t>(h.chunk_size, data.size() - pos);
      bool last = pos + n == data.size();
      // The header rides as associated data of the first chunk: the stream state chains every
      // later chunk to it, so a changed header byte fails authentication.
      crypto_secretstream_xchacha20poly1305_push(
          &push.st, batches[current].get() + filled, nullptr, data.data() + pos, n,
          first ? header : nullptr, first ? kHeaderSize : 0,
          last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
               : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
      filled += n + kChunkOverhead;
      pos += n;
      first = false;
      if (filled >= kWriteBatch || last) {
        if (pending.valid()) pending.get();  // rethrows the previous write's failure
        // With both launch policies a thread that cannot be started means a plain call later.
        pending = std::async(std::launch::async | std::launch::deferred,
                             [f = file.get(), p = batches[current].get(), filled] {
                               f->Write({reinterpret_cast<const char*>(p), filled});
                             });
        current ^= 1;
        filled = 0;
      }
    } while (pos < data.size());
    pending.get();
    file->Commit();
  } catch (const EOSError& e) {
    LastFileError() = e.what();
    return QVCRYPT_ERR_WRITE;
  }
  return QVCRYPT_OK;
}

}  // namespace nc16::qve
