#include "document/xPzConv.h"

#include <gtest/gtest.h>

namespace nc16 {
namespace {

TEST(TxPzConv, StandardBase64OfDataWithoutZeroBytes) {
  TxPzConv conv;
  EXPECT_EQ(conv.DecodeBase64(""), "");
  EXPECT_EQ(conv.DecodeBase64("c2VjcmV0LWtleQ=="), "secret-key");
  EXPECT_EQ(conv.DecodeBase64("YWJj"), "abc");
  EXPECT_EQ(conv.DecodeBase64("YWI="), "ab");  // "=" only in the fourth place: two bytes
  EXPECT_EQ(conv.DecodeBase64("YQ=="), "a");   // "=" in the third and fourth: one byte
}

TEST(TxPzConv, QuirksOfTheLauncherKey) {
  TxPzConv conv;
  // Three zero bytes give one: the first byte of a group is always kept.
  EXPECT_EQ(conv.DecodeBase64("AAAA"), std::string(1, '\0'));
  // A zero byte in the second or third place is dropped.
  EXPECT_EQ(conv.DecodeBase64("QQBC"), "AB");  // 0x41 0x00 0x42
  // One to three characters after the last group of four are ignored.
  EXPECT_EQ(conv.DecodeBase64("YWJjYQ"), "abc");
  EXPECT_EQ(conv.DecodeBase64("YWJjY"), "abc");
  // A character outside the alphabet is not skipped; it contributes zero bits.
  EXPECT_EQ(conv.DecodeBase64("Y-Jj"), conv.DecodeBase64("YAJj"));
  EXPECT_EQ(conv.DecodeBase64("Y_Jj"), conv.DecodeBase64("YAJj"));
  EXPECT_EQ(conv.DecodeBase64("Y Jj"), conv.DecodeBase64("YAJj"));
}

TEST(TxPzConv, Base64Value) {
  EXPECT_EQ(TxPzConv::Base64Value('A'), 0);
  EXPECT_EQ(TxPzConv::Base64Value('z'), 51);
  EXPECT_EQ(TxPzConv::Base64Value('9'), 61);
  EXPECT_EQ(TxPzConv::Base64Value('+'), 62);
  EXPECT_EQ(TxPzConv::Base64Value('/'), 63);
  EXPECT_EQ(TxPzConv::Base64Value('='), 64);
  EXPECT_EQ(TxPzConv::Base64Value('\xFF'), 64);
}

}  // namespace
}  // namespace nc16
