#include "document/TextUtils.h"

#include <gtest/gtest.h>

#include "platform/Cp932.h"

namespace nc16 {
namespace {

TEST(TextUtils, MakeBlanksStopsAt510) {
  EXPECT_EQ(MakeBlanks(510), std::string(510, ' '));
  EXPECT_EQ(MakeBlanks(511), "");
  EXPECT_EQ(MakeBlanks(0), "");
  EXPECT_EQ(MakeBlanks(-3), "");
}

TEST(TextUtils, PadRightBytesFillsOrCutsBytes) {
  EXPECT_EQ(PadRightBytes("abc", 5), "abc  ");
  // The cut may split a double-byte character: byte 5 is the lead byte of 漢.
  std::string s = "abcd" + Utf8ToCp932("漢") + "x";
  EXPECT_EQ(PadRightBytes(s, 5), "abcd\x8a");
  EXPECT_EQ(PadRightBytes("abc", 600), "abc");  // no blanks above 510
}

TEST(TextUtils, RightAlignAndRightPart) {
  EXPECT_EQ(RightAlignBytes("abc", 5), "  abc");
  EXPECT_EQ(RightAlignBytes("abcdefg", 5), "cdefg");
  EXPECT_EQ(RightPart("out.xml.qve", 8), ".xml.qve");
  EXPECT_EQ(RightPart("ab", 8), "ab");
  EXPECT_EQ(RightPart("ab", 0), "");
}

TEST(TextUtils, TrimBlanksRemovesMixedBlanksAndControls) {
  std::string fw = "\x81\x40";
  EXPECT_EQ(TrimBlanks(" " + fw + " \t" + fw + "name" + fw + " " + fw + "\r\n"), "name");
  EXPECT_EQ(TrimBlanks(fw + " " + fw), "");
  EXPECT_EQ(TrimBlanks("  inner  blank "), "inner  blank");
  EXPECT_EQ(TrimBlanks(Utf8ToCp932("ー")), Utf8ToCp932("ー"));
  // A trailing 0x81 0x40 is a blank only on a character boundary: after ａ (0x82 0x81) an "@"
  // stays, and so does the character's trail byte.
  const std::string a = Utf8ToCp932("ａ");
  EXPECT_EQ(TrimBlanks(a + "@"), a + "@");
  EXPECT_EQ(TrimBlanks(a + "@" + fw + " "), a + "@");
  EXPECT_EQ(TrimBlanks(a + fw), a);
  EXPECT_EQ(TrimBlanks("\x81\x81\x40"), "\x81\x81\x40");  // ＝ (0x81 0x81), then "@"
}

TEST(TextUtils, CopyWholeCharsNeverSplitsACharacter) {
  std::string nine = Utf8ToCp932("一二三四五六七八九");
  EXPECT_EQ(CopyWholeChars(nine, 1, 16), Utf8ToCp932("一二三四五六七八"));
  // A double-byte character at bytes 16 and 17 is left out.
  std::string odd = 'a' + Utf8ToCp932("一二三四五六七八九");
  EXPECT_EQ(CopyWholeChars(odd, 1, 16), 'a' + Utf8ToCp932("一二三四五六七"));
  EXPECT_EQ(CopyWholeChars(nine, 5, 4), "");
  // FromByte on a second byte takes the whole character.
  EXPECT_EQ(CopyWholeChars(nine, 2, 4), Utf8ToCp932("一二"));
  EXPECT_EQ(CopyWholeChars("", 1, 16), "");
}

TEST(TextUtils, RelationshipCutToSixBytes) {
  EXPECT_EQ(CopyWholeChars(Utf8ToCp932("祖父母様"), 1, 6), Utf8ToCp932("祖父母"));
  EXPECT_EQ(CopyWholeChars(Utf8ToCp932("ab長男"), 1, 6), Utf8ToCp932("ab長男"));
  EXPECT_EQ(CopyWholeChars(Utf8ToCp932("a長男様"), 1, 6), Utf8ToCp932("a長男"));
}

// Every kind of double-byte character, at every place a cut can meet it: the cut keeps the
// characters that end at or before it and never leaves a lead byte alone.
TEST(TextUtils, CutsAtWholeCharactersOfEveryKind) {
  const std::pair<const char*, std::string> kinds[] = {
      {"full-width digit", "\x82\x50"},  // １
      {"NEC row 13", "\x87\x40"},        // ①
      {"IBM extension", "\xFA\x40"},     // ⅰ
      {"IBM extension, last lead", "\xFC\x4B"},
      {"NEC-selected IBM", "\xEE\xE0"},  // 髙
      {"NEC-selected IBM, ED", "\xED\x40"},
      {"user-defined", "\xF0\x40"},
      {"user-defined, last lead", "\xF9\xFC"},
  };
  for (const auto& [kind, c] : kinds) {
    SCOPED_TRACE(kind);
    // "a" then three characters: they end at bytes 3, 5 and 7.
    const std::string s = "a" + c + c + c;
    const std::string expected[] = {"", "a", "a", "a" + c, "a" + c, "a" + c + c, "a" + c + c, s, s};
    for (int n = 0; n <= 8; ++n) {
      EXPECT_EQ(CopyWholeChars(s, 1, n), expected[n]) << n;
      // The column is always n bytes: a blank where a character would straddle its end.
      EXPECT_EQ(PadRightWholeChars(s, n), expected[n] + std::string(n - expected[n].size(), ' '))
          << n;
    }
    // A cut that starts after the first character: bytes 4 to 7 of "a" + c + c + c.
    EXPECT_EQ(CopyWholeChars(s, 4, 7), c + c);
    EXPECT_EQ(CopyWholeChars(s, 4, 6), c);
  }
  // Text without double-byte characters is cut exactly as by bytes.
  EXPECT_EQ(PadRightWholeChars("123-4567", 3), "123");
  EXPECT_EQ(PadRightWholeChars("abc", 5), "abc  ");
}

TEST(TextUtils, EndsWithNoCase) {
  EXPECT_TRUE(EndsWithNoCase("D:\\data\\OUT.Xml.QvE", ".xml.qve"));
  EXPECT_FALSE(EndsWithNoCase("qve", ".xml.qve"));
}

}  // namespace
}  // namespace nc16
