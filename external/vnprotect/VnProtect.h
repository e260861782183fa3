#pragma once
// The program's side of the stored-value library: how every caller decodes a stored individual
// number or management password, and how test and demo data are made.

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "external/vnprotect/VnProtectLib.h"

namespace nc16 {

// The key the program hands to the library at every call.
inline constexpr char kVnProtectKey[] = "0847";

// Decodes a stored value the way the program calls the library: a 201-byte buffer zero-filled
// right before the call, key "0847", and the buffer's text up to its first zero byte. The
// library's status is not read; a value it cannot decode gives the empty text. A zero byte in
// `stored` ends the value, as it would for the library.
inline std::string DecodeStoredValue(std::string_view stored) {
  const std::string value(stored);  // zero-terminated
  char buffer[VNPROTECT_PLAIN_MAX + 1];
  std::memset(buffer, 0, sizeof buffer);
  int32_t status = 0;
  P_Check1(value.c_str(), kVnProtectKey, buffer, &status);
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

// The stored form of `plain` (a CP932 text of at most 200 bytes without zero bytes) under key
// "0847". Raises std::invalid_argument for a text the library cannot store.
inline std::string EncodeStoredValue(std::string_view plain) {
  if (plain.size() > VNPROTECT_PLAIN_MAX || plain.find('\0') != std::string_view::npos)
    throw std::invalid_argument("stored-value text longer than 200 bytes or holding a zero byte");
  const std::string text(plain);
  char buffer[VNPROTECT_STORED_MAX + 1];
  if (P_Encode1(text.c_str(), kVnProtectKey, buffer, sizeof buffer) != VNPROTECT_OK)
    throw std::invalid_argument("stored-value text cannot be encoded");
  return buffer;
}

}  // namespace nc16
