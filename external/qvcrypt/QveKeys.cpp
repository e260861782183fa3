#include "external/qvcrypt/QveKeys.h"

namespace nc16::qve {
namespace {

// Domain separation: this key makes the hash of key-mode files a function of its own, distinct
// from any other use of BLAKE2b over the same bytes. Changing it changes the format.
constexpr unsigned char kKeyModeDomain[crypto_generichash_KEYBYTES] = {
    'Q', 'v', 'C', 'r', 'y', 'p', 't', 'L', 'i', 'b', ' ', 'q', 'v', 'e', ' ', 'v',
    '1', ' ', 'k', 'e', 'y', '-', 'm', 'o', 'd', 'e', ' ', 'K', 'D', 'F', ' ', '.'};

}  // namespace

bool DeriveFromPassword(std::string_view password, const Header& h, StreamKey& key) {
  return crypto_pwhash(key.data(), crypto_secretstream_xchacha20poly1305_KEYBYTES, password.data(),
                       password.size(), h.salt, h.opslimit, static_cast<size_t>(h.memlimit),
                       crypto_pwhash_ALG_ARGON2ID13) == 0;
}

void DeriveFromKeyBytes(std::string_view key_bytes, const Header& h, StreamKey& key) {
  crypto_generichash_state st;
  crypto_generichash_init(&st, kKeyModeDomain, sizeof kKeyModeDomain,
                          crypto_secretstream_xchacha20poly1305_KEYBYTES);
  crypto_generichash_update(&st, h.salt, kSaltSize);
  crypto_generichash_update(&st, reinterpret_cast<const unsigned char*>(key_bytes.data()),
                            key_bytes.size());
  crypto_generichash_final(&st, key.data(), crypto_secretstream_xchacha20poly1305_KEYBYTES);
  sodium_memzero(&st, sizeof st);
}

bool DeriveStreamKey(std::string_view secret, const Header& h, StreamKey& key) {
  if (h.mode == Mode::kPassword) return DeriveFromPassword(secret, h, key);
  DeriveFromKeyBytes(secret, h, key);
  return true;
}

}  // namespace nc16::qve
