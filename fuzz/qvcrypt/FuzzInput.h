#pragma once
// What the encrypted-file fuzzer does with one input, shared with the regression test that
// replays kept inputs in the normal build.
//
// First byte even: the rest is a file, decrypted with the key kFuzzKey and with the password
// kFuzzPassword (at the cheapest password hash, the most the reader accepts here).
// First byte odd: the rest describes a key-mode stream that is forged with libsodium: byte 1
// picks the chunk size (4096 + byte), then each pair of bytes is a chunk: its tag (low two bits:
// MESSAGE, PUSH, REKEY, FINAL) and its length (bit 7: a full chunk, else the low seven bits).
// The reader must accept exactly the streams the writer makes (full chunks tagged MESSAGE, then
// one chunk of at most a chunk size tagged FINAL) and give back their bytes.

#include <sodium.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "external/qvcrypt/QvCryptLib.h"
#include "fuzz/FuzzCheck.h"

namespace nc16::qve::fuzz {

inline constexpr char kFuzzKey[] = "fuzz-key";
inline constexpr char kFuzzPassword[] = "fuzz";
inline constexpr size_t kMaxInput = 1 << 20;
inline constexpr size_t kMaxForgedChunks = 16;

struct ForgedChunk {
  unsigned char tag;  // a crypto_secretstream_xchacha20poly1305_TAG_* value
  std::string plain;
};

// A key-mode file of `chunks` under `key`, built from the published format with libsodium alone.
inline std::string ForgeKeyFile(std::string_view key, uint32_t chunk_size,
                                const std::vector<ForgedChunk>& chunks) {
  unsigned char header[72] = {'Q', 'V', 'C', 'R', 'Y', 'P', 'T', 0x1A, 1, 0, 2, 2};
  for (int i = 0; i < 4; ++i)
    header[12 + i] = static_cast<unsigned char>(chunk_size >> (8 * i));
  for (int i = 0; i < 16; ++i)
    header[32 + i] = static_cast<unsigned char>(0x40 + i);  // salt
  static constexpr char kDomain[] = "QvCryptLib qve v1 key-mode KDF .";
  unsigned char stream_key[crypto_secretstream_xchacha20poly1305_KEYBYTES];
  crypto_generichash_state h;
  crypto_generichash_init(&h, reinterpret_cast<const unsigned char*>(kDomain), 32,
                          sizeof stream_key);
  crypto_generichash_update(&h, header + 32, 16);
  crypto_generichash_update(&h, reinterpret_cast<const unsigned char*>(key.data()), key.size());
  crypto_generichash_final(&h, stream_key, sizeof stream_key);
  crypto_secretstream_xchacha20poly1305_state st;
  crypto_secretstream_xchacha20poly1305_init_push(&st, header + 48, stream_key);

  std::string file(reinterpret_cast<const char*>(header), sizeof header);
  for (size_t i = 0; i < chunks.size(); ++i) {
    const std::string& p = chunks[i].plain;
    std::string c(p.size() + crypto_secretstream_xchacha20poly1305_ABYTES, '\0');
    crypto_secretstream_xchacha20poly1305_push(
        &st, reinterpret_cast<unsigned char*>(c.data()), nullptr,
        reinterpret_cast<const unsigned char*>(p.data()), p.size(), i == 0 ? header : nullptr,
        i == 0 ? sizeof header : 0, chunks[i].tag);
    file += c;
  }
  return file;
}

// Decrypts `bytes` as a file: 0 and the plaintext, or the library's error code.
inline int32_t DecryptBytes(std::string_view bytes, bool by_key, std::string& plain) {
  const int fd = memfd_create("qve-fuzz", MFD_CLOEXEC);
  if (fd < 0) nc16::fuzz::Broken("memfd_create");
  for (size_t done = 0; done < bytes.size();) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) nc16::fuzz::Broken("write to memfd");
    done += static_cast<size_t>(n);
  }
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  void* data = nullptr;
  int32_t length = 0;
  static constexpr QvCryptKdfLimits kCheapest{1, 8192};
  const int32_t r =
      by_key ? QvCryptDecryptFileToMemByKey(path.c_str(), kFuzzKey, &data, &length)
             : QvCryptDecryptFileToMemEx(path.c_str(), kFuzzPassword, &kCheapest, &data, &length);
  close(fd);
  nc16::fuzz::Require((r == QVCRYPT_OK) == (data != nullptr), "data pointer matches the result");
  plain.assign(static_cast<const char*>(data), data ? static_cast<size_t>(length) : 0);
  QvCryptFreeMem(data);
  return r;
}

inline void RunInput(std::string_view data) {
  if (data.empty() || data.size() > kMaxInput || sodium_init() < 0) return;
  std::string plain;
  if ((static_cast<unsigned char>(data[0]) & 1) == 0) {
    for (bool by_key : {true, false}) {
      const int32_t r = DecryptBytes(data.substr(1), by_key, plain);
      nc16::fuzz::Require(r >= QVCRYPT_OK && r <= QVCRYPT_ERR_INTERNAL, "known result code");
    }
    return;
  }
  if (data.size() < 2) return;
  const uint32_t chunk_size = 4096 + static_cast<unsigned char>(data[1]);
  static constexpr unsigned char kTags[4] = {crypto_secretstream_xchacha20poly1305_TAG_MESSAGE,
                                             crypto_secretstream_xchacha20poly1305_TAG_PUSH,
                                             crypto_secretstream_xchacha20poly1305_TAG_REKEY,
                                             crypto_secretstream_xchacha20poly1305_TAG_FINAL};
  std::vector<ForgedChunk> chunks;
  std::string expected;
  bool sound = true;  // the shape the writer makes
  for (size_t i = 2; i + 1 < data.size() && chunks.size() < kMaxForgedChunks; i += 2) {
    const auto t = static_cast<unsigned char>(data[i]);
    const auto l = static_cast<unsigned char>(data[i + 1]);
    ForgedChunk c{kTags[t & 3], std::string((l & 0x80) ? chunk_size : (l & 0x7f), '\0')};
    for (size_t k = 0; k < c.plain.size(); ++k)
      c.plain[k] = static_cast<char>(chunks.size() * 31 + k);
    expected += c.plain;
    chunks.push_back(std::move(c));
  }
  for (size_t i = 0; i < chunks.size(); ++i) {
    const bool last = i + 1 == chunks.size();
    if (chunks[i].tag != (last ? kTags[3] : kTags[0])) sound = false;
    if (!last && chunks[i].plain.size() != chunk_size) sound = false;
  }
  if (chunks.empty()) sound = false;
  const int32_t r = DecryptBytes(ForgeKeyFile(kFuzzKey, chunk_size, chunks), true, plain);
  nc16::fuzz::Require((r == QVCRYPT_OK) == sound, "the reader accepts exactly sound streams");
  if (r == QVCRYPT_OK) nc16::fuzz::Require(plain == expected, "the plaintext comes back");
}

}  // namespace nc16::qve::fuzz
