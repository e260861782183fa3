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

TEST(TextUtils, EndsWithNoCase) {
  EXPECT_TRUE(EndsWithNoCase("D:\\data\\OUT.Xml.QvE", ".xml.qve"));
  EXPECT_FALSE(EndsWithNoCase("qve", ".xml.qve"));
}

}  // namespace
}  // namespace nc16
