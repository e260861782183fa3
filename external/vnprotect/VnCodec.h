#pragma once
// The stored-value encoding itself, free of the C interface. Layout of a stored value:
//
//   "V1"   format mark and version
//   2      check: 12 bits of a keyed hash of the text, in the alphabet below
//   body   the text XORed with a keystream seeded from key, check and length, packed 3 bytes
//          to 4 characters (a last group of 1 or 2 bytes takes 2 or 3 characters)
//
// Alphabet: 0-9 A-Z a-z - _ (values 0 to 63). See docs/vnprotect-encoding.md.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "external/vnprotect/VnProtectLib.h"

namespace nc16::vnprotect {

struct Decoded {
  std::array<char, VNPROTECT_PLAIN_MAX> bytes{};
  size_t size = 0;
};

struct Encoded {
  std::array<char, VNPROTECT_STORED_MAX> chars{};
  size_t size = 0;
};

// `plain` at most VNPROTECT_PLAIN_MAX bytes, `key` 1 to VNPROTECT_KEY_MAX bytes; anything else
// gives VNPROTECT_ERR_TOO_LONG or VNPROTECT_ERR_KEY.
int32_t Encode(std::string_view plain, std::string_view key, Encoded& out);

// Accepts only the exact form Encode produces; a decoded text holding a zero byte is refused
// too, since it could not have been encoded.
int32_t Decode(std::string_view stored, std::string_view key, Decoded& out);

}  // namespace nc16::vnprotect
