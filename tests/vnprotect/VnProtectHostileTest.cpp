// Stored values come from table files anyone can edit: P_Check1 must never write beyond the
// caller's 200 text bytes nor read beyond a stored value's longest form, whatever it is given.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "external/vnprotect/VnProtect.h"

namespace nc16 {
namespace {

constexpr size_t kBuffer = VNPROTECT_PLAIN_MAX + 1;  // what the program passes
constexpr size_t kGuard = 64;
constexpr char kGuardByte = '\xA5';

// Calls P_Check1 with a zero-filled 201-byte buffer followed by guard bytes and checks that
// byte 200 (the caller's terminator) and the guard are untouched. Returns the decoded text.
std::string CheckedDecode(const char* stored, int32_t* status = nullptr) {
  char area[kBuffer + kGuard];
  std::memset(area, 0, kBuffer);
  std::memset(area + kBuffer, kGuardByte, kGuard);
  int32_t s = -1;
  P_Check1(stored, kVnProtectKey, area, &s);
  EXPECT_EQ(area[VNPROTECT_PLAIN_MAX], '\0');
  for (size_t i = kBuffer; i < kBuffer + kGuard; ++i)
    EXPECT_EQ(area[i], kGuardByte) << i;
  if (status != nullptr) *status = s;
  return std::string(area, strnlen(area, kBuffer));
}

TEST(VnProtectHostile, LongestTextFillsExactly200Bytes) {
  const std::string text(200, 'N');
  int32_t status = -1;
  EXPECT_EQ(CheckedDecode(EncodeStoredValue(text).c_str(), &status), text);
  EXPECT_EQ(status, VNPROTECT_OK);
}

TEST(VnProtectHostile, OverlongValuesAreRefusedWithoutWriting) {
  const std::string longest = EncodeStoredValue(std::string(200, 'N'));
  int32_t status = -1;
  // Valid-looking bodies one group and many groups longer than any stored value.
  for (const std::string& s : {longest + "0000", longest + "00", longest + std::string(10000, 'A'),
                               "V1" + std::string(100000, 'z')}) {
    EXPECT_EQ(CheckedDecode(s.c_str(), &status), "");
    EXPECT_EQ(status, VNPROTECT_ERR_TOO_LONG);
  }
}

TEST(VnProtectHostile, UnterminatedValueIsNotReadPastItsLongestForm) {
  // Exactly VNPROTECT_STORED_MAX + 1 bytes and no terminator: the library's bounded read must
  // stop inside (AddressSanitizer reports any byte beyond).
  auto raw = std::make_unique<char[]>(VNPROTECT_STORED_MAX + 1);
  std::memset(raw.get(), 'A', VNPROTECT_STORED_MAX + 1);
  int32_t status = -1;
  EXPECT_EQ(CheckedDecode(raw.get(), &status), "");
  EXPECT_EQ(status, VNPROTECT_ERR_TOO_LONG);
}

TEST(VnProtectHostile, RandomValuesNeverOverflow) {
  std::mt19937 rng(20261209);
  const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_";
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    size_t len = rng() % 300;
    std::string s = round % 2 == 0 ? "V1" : "";
    for (size_t i = 0; i < len; ++i) {
      // Mostly the stored alphabet, sometimes any byte: both paths of the decoder.
      s += round % 3 == 0 ? static_cast<char>(1 + rng() % 255) : alphabet[rng() % 64];
    }
    int32_t status = -1;
    std::string text = CheckedDecode(s.c_str(), &status);
    EXPECT_LE(text.size(), size_t{VNPROTECT_PLAIN_MAX});
    if (status == VNPROTECT_OK) ++accepted;
  }
  // The 12-bit check lets about one random value in 4096 through; far more would mean the
  // check is not being applied.
  EXPECT_LT(accepted, 20);
}

TEST(VnProtectHostile, NullArgumentsAreRefused) {
  char out[kBuffer] = {};
  int32_t status = -1;
  EXPECT_EQ(P_Check1(nullptr, "0847", out, &status), VNPROTECT_ERR_ARGUMENT);
  EXPECT_EQ(status, VNPROTECT_ERR_ARGUMENT);
  EXPECT_EQ(P_Check1("V1AA", nullptr, out, &status), VNPROTECT_ERR_ARGUMENT);
  EXPECT_EQ(P_Check1("V1AA", "0847", nullptr, &status), VNPROTECT_ERR_ARGUMENT);
  // The status pointer is optional.
  EXPECT_EQ(P_Check1(EncodeStoredValue("1").c_str(), "0847", out, nullptr), VNPROTECT_OK);
  EXPECT_STREQ(out, "1");
}

}  // namespace
}  // namespace nc16
