#pragma once
// Writing an encrypted intermediate file, whole or piece by piece.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string_view>

#include "external/qvcrypt/QveFormat.h"

namespace nc16 {
class AtomicFile;
}

namespace nc16::qve {

// Encrypts plaintext handed over in pieces of any size into the file at `target`. The file is
// readable and writable by its owner only and replaces the target only on Commit; destroyed
// without a Commit, or after any failure, it leaves the target as it was and no temporary file.
// The plaintext is cut into the header's chunks as it arrives: at most one chunk of it is held,
// so the memory stays small whatever the document's size. Every function returns a
// QvCryptResult code; after a failure the writer refuses everything.
class StreamWriter {
 public:
  StreamWriter();
  ~StreamWriter();
  StreamWriter(const StreamWriter&) = delete;
  StreamWriter& operator=(const StreamWriter&) = delete;

  // Creates the temporary file beside `target` and derives the key from `secret` (a password or
  // key bytes, as h.mode says). `h` gives mode, derivation, limits and chunk size; salt and
  // nonce are drawn here.
  int32_t Open(const std::filesystem::path& target, std::string_view secret, Header h);
  // Appends plaintext. QVCRYPT_ERR_TOO_LARGE once the whole would not fit a 32-bit length.
  int32_t Write(std::span<const unsigned char> data);
  // Ends the stream (its FINAL chunk), flushes the file and renames it over the target.
  int32_t Commit();

 private:
  void Push(const unsigned char* data, size_t n, bool last);  // encrypts one chunk
  void WriteBatch();  // hands the filled batch to the disk and switches to the other
  int32_t Fail(int32_t code);

  struct State;
  std::unique_ptr<State> s_;
};

// Encrypts `data` under `secret` into the file at `target`, replacing it atomically (a
// StreamWriter given the whole text at once). Returns a QvCryptResult code.
int32_t WriteQveFile(std::span<const unsigned char> data, const std::filesystem::path& target,
                     std::string_view secret, Header h);

}  // namespace nc16::qve
