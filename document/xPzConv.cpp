#include "document/xPzConv.h"

namespace nc16 {

int TxPzConv::Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return 64;
}

std::string TxPzConv::DecodeBase64(std::string_view s) const {
  std::string out;
  out.reserve(s.size() / 4 * 3);
  for (size_t i = 0; i + 4 <= s.size(); i += 4) {
    unsigned v1 = static_cast<unsigned>(Base64Value(s[i]));
    unsigned v2 = static_cast<unsigned>(Base64Value(s[i + 1]));
    unsigned v3 = static_cast<unsigned>(Base64Value(s[i + 2]));
    unsigned v4 = static_cast<unsigned>(Base64Value(s[i + 3]));
    // Bit 6 (the value 64) is always shifted out or masked off, so it adds nothing.
    auto b1 = static_cast<unsigned char>(((v1 << 2) & 0xFF) | ((v2 >> 4) & 0x03));
    auto b2 = static_cast<unsigned char>(((v2 & 0x0F) << 4) | ((v3 >> 2) & 0x0F));
    auto b3 = static_cast<unsigned char>(((v3 & 0x03) << 6) | (v4 & 0x3F));
    out += static_cast<char>(b1);
    if (b2 != 0) out += static_cast<char>(b2);
    if (b3 != 0) out += static_cast<char>(b3);
  }
  return out;
}

}  // namespace nc16
