#pragma once
// TxPzConv: turns the Base64 key text that a launcher hands over back into key bytes.
//
// The decoding keeps the launcher's quirks, which the importing side relies on: characters are
// taken in groups of four; a character outside the alphabet (also "=") contributes zero bits
// instead of being skipped; of each group's three bytes the first is always kept and the second
// and third only when they are not zero; one to three characters after the last whole group are
// ignored.

#include <string>
#include <string_view>

namespace nc16 {

class TxPzConv {
 public:
  TxPzConv() = default;

  // The decoded bytes (any byte values).
  std::string DecodeBase64(std::string_view s) const;

  // 0 to 63 for a character of the standard alphabet, 64 for any other.
  static int Base64Value(char c);
};

}  // namespace nc16
