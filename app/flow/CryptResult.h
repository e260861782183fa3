#pragma once
// The crypt library's results in words, for the line that says why an encrypted file could not
// be written or read.

#include <cstdint>
#include <string>
#include <string_view>

namespace nc16 {

// The crypt library's result `code` for `file` in words (CP932), with the system's account of a
// file failure when the library gives one. `by_key`: the file was written or read with a key,
// not a password.
std::string CryptResultText(int32_t code, bool by_key, std::string_view file);

}  // namespace nc16
