#pragma once
// Reading an encrypted intermediate file back.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "external/qvcrypt/QvCryptLib.h"
#include "external/qvcrypt/QveFormat.h"
#include "external/qvcrypt/QvePlainBuffer.h"

namespace nc16::qve {

struct Plaintext {
  PlainPtr bytes;  // AllocPlain buffer
  size_t size = 0;
};

// Decrypts the file at `file` with `secret`, which must be of the kind `mode` names. A file
// whose password hash asks for more than `max_limits` is refused before any hashing. Returns a
// QvCryptResult code; `out` is filled only on success, and no plaintext of a file that fails
// authentication is ever returned.
int32_t ReadQveFile(const std::filesystem::path& file, Mode mode, std::string_view secret,
                    const QvCryptKdfLimits& max_limits, Plaintext& out);

}  // namespace nc16::qve
