#pragma once
// Turning a password or a launcher's key into the stream key of one file. Both derivations mix
// in the file's random salt, so no two files share a stream key even under the same secret.

#include <sodium.h>

#include <string_view>

#include "external/qvcrypt/QveFormat.h"

namespace nc16::qve {

// The 32-byte XChaCha20-Poly1305 stream key, wiped when it goes out of scope.
class StreamKey {
 public:
  StreamKey() = default;
  ~StreamKey() { sodium_memzero(bytes_, sizeof bytes_); }
  StreamKey(const StreamKey&) = delete;
  StreamKey& operator=(const StreamKey&) = delete;

  unsigned char* data() { return bytes_; }
  const unsigned char* data() const { return bytes_; }

 private:
  unsigned char bytes_[crypto_secretstream_xchacha20poly1305_KEYBYTES] = {};
};

// Argon2id v1.3 over `password` with h.salt, h.opslimit and h.memlimit. False when the hash
// could not get its memory (the only way it fails for limits that DecodeHeader accepted).
bool DeriveFromPassword(std::string_view password, const Header& h, StreamKey& key);

// BLAKE2b-256 keyed with this format's fixed domain key, over h.salt followed by the key bytes.
void DeriveFromKeyBytes(std::string_view key_bytes, const Header& h, StreamKey& key);

// Derives the key the header's mode asks for from `secret`.
bool DeriveStreamKey(std::string_view secret, const Header& h, StreamKey& key);

}  // namespace nc16::qve
