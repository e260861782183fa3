#pragma once
// Writing an encrypted intermediate file.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "external/qvcrypt/QveFormat.h"

namespace nc16::qve {

// Encrypts `data` under `secret` (a password or key bytes, as h.mode says) into the file at
// `target`, replacing it atomically; the file is readable and writable by its owner only.
// `h` gives mode, derivation, limits and chunk size; salt and nonce are drawn here. Returns a
// QvCryptResult code. On failure `target` is as it was and no temporary file remains.
int32_t WriteQveFile(std::span<const unsigned char> data, const std::filesystem::path& target,
                     std::string_view secret, Header h);

}  // namespace nc16::qve
