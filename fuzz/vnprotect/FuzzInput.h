#pragma once
// What the stored-value fuzzer does with one input, shared with the regression test that
// replays kept inputs in the normal build. First byte 0: the rest is a stored value decoded with
// the program's key; otherwise the key is the text up to the first zero byte after it and the
// stored value what follows. P_Check1 must write nothing but out[0..199] (nothing at all on a
// failure), and a text it decodes must encode and decode back to itself. The input is also
// encoded as a plain text, which must decode back when the encoder accepts it.

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "external/vnprotect/VnProtect.h"
#include "fuzz/FuzzCheck.h"

namespace nc16::vn::fuzz {

inline constexpr size_t kMaxInput = 4096;
inline constexpr size_t kOut = VNPROTECT_PLAIN_MAX + 1;

// P_Check1 into a heap buffer of exactly the caller's 201 bytes, all zero, so that any write or
// read beyond it is a sanitizer report. The decoded text, or nothing on a failure.
inline std::string Check(const std::string& stored, const std::string& key, int32_t& status) {
  auto out = std::make_unique<char[]>(kOut);
  std::memset(out.get(), 0, kOut);
  status = -1;
  const int32_t r = P_Check1(stored.c_str(), key.c_str(), out.get(), &status);
  nc16::fuzz::Require(r == status, "the status returned is the status written");
  nc16::fuzz::Require(out[VNPROTECT_PLAIN_MAX] == '\0', "byte 200 stays the caller's");
  if (r != VNPROTECT_OK) {
    for (size_t i = 0; i < kOut; ++i)
      nc16::fuzz::Require(out[i] == '\0', "nothing written on a failure");
    return {};
  }
  return std::string(out.get(), strnlen(out.get(), kOut));
}

inline void RoundTrip(const std::string& plain, const std::string& key) {
  char stored[VNPROTECT_STORED_MAX + 1];
  if (P_Encode1(plain.c_str(), key.c_str(), stored, sizeof stored) != VNPROTECT_OK) return;
  int32_t status = -1;
  const std::string back = Check(stored, key, status);
  nc16::fuzz::Require(status == VNPROTECT_OK && back == plain, "an encoded text decodes back");
}

inline void RunInput(std::string_view data) {
  if (data.empty() || data.size() > kMaxInput) return;
  std::string key = kVnProtectKey;
  std::string_view stored = data.substr(1);
  if (data[0] != '\0') {
    const size_t zero = stored.find('\0');
    key = std::string(stored.substr(0, zero));
    stored = zero == std::string_view::npos ? std::string_view() : stored.substr(zero + 1);
  }
  const std::string value(stored.substr(0, stored.find('\0')));
  int32_t status = -1;
  const std::string plain = Check(value, key, status);
  if (status == VNPROTECT_OK) {
    nc16::fuzz::Require(plain.size() <= VNPROTECT_PLAIN_MAX, "at most 200 bytes");
    RoundTrip(plain, key);
  }
  RoundTrip(value, key);
}

}  // namespace nc16::vn::fuzz
