#include "platform/Cp932.h"

#include <gtest/gtest.h>

namespace nc16 {
namespace {

TEST(Cp932, RoundTripsJapaneseIncludingHalfWidthKatakana) {
  std::string sj = Utf8ToCp932("連動ﾃﾞｰﾀの作成");
  // 連 動 are double-byte, ﾃ ﾞ ｰ ﾀ are single bytes in CP932, の 作 成 double-byte.
  EXPECT_EQ(sj.size(), 2u + 2u + 4u + 2u + 2u + 2u);
  EXPECT_EQ(Cp932ToUtf8(sj), "連動ﾃﾞｰﾀの作成");
}

TEST(Cp932, CompatibilityCharactersMapAsWindowsDoes) {
  // The wave dash and the full-width tilde of Windows texts, and the NEC special characters.
  EXPECT_EQ(Utf8ToCp932("～"), "\x81\x60");
  EXPECT_EQ(Utf8ToCp932("①"), "\x87\x40");
  EXPECT_EQ(Cp932ToUtf8("\x81\x60"), "～");
}

TEST(Cp932, InvalidBytesBecomeReplacementCharacters) {
  // 0xFF is no CP932 character; a lead byte at the very end has lost its trail byte.
  EXPECT_EQ(Cp932ToUtf8("\xFF"
                        "A"),
            "\xEF\xBF\xBD"
            "A");
  EXPECT_EQ(Cp932ToUtf8("A\x82"), "A\xEF\xBF\xBD");
  EXPECT_FALSE(IsValidCp932("\xFF\xFF"));
  EXPECT_TRUE(IsValidCp932(Utf8ToCp932("未使用")));
}

TEST(Cp932, UnmappableUtf8BecomesOneQuestionMarkPerCharacter) {
  EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
  EXPECT_EQ(Utf8ToCp932("a\xC3"), "a?");
}

TEST(Cp932, FixedTextsAreConvertedOnce) {
  const std::string& a = SJ("エラー情報");
  EXPECT_EQ(Cp932ToUtf8(a), "エラー情報");
  EXPECT_EQ(a.size(), 10u);
}

}  // namespace
}  // namespace nc16

TEST(Cp932, ExactConversionRefusesWhatCp932CannotHold) {
  EXPECT_EQ(nc16::Utf8ToCp932Exact("秘密abc"), nc16::Utf8ToCp932("秘密abc"));
  EXPECT_EQ(nc16::Utf8ToCp932Exact(""), "");
  for (const char* text : {"😀😀😀😀", "a\xff", "x\xe3\x81"})
    EXPECT_FALSE(nc16::Utf8ToCp932Exact(text)) << text;
}
