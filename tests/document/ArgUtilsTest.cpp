#include "document/ArgUtils.h"

#include <gtest/gtest.h>

#include "platform/Cp932.h"

namespace nc16 {
namespace {

TEST(GetField, SplitsAtSeparatorAndLineBreaks) {
  EXPECT_EQ(GetField("a,,b", ",", 1), "a");
  EXPECT_EQ(GetField("a,,b", ",", 2), "");
  EXPECT_EQ(GetField("a,,b", ",", 3), "b");
  EXPECT_EQ(GetField("a,,b", ",", 4), "");
  EXPECT_EQ(GetField("a,,b", ",", 0), "");
  EXPECT_EQ(GetField("a\r\nb,c", ",", 2), "b");
  EXPECT_EQ(GetField("a\nb", ",", 2), "b");
  EXPECT_EQ(GetField("", ",", 1), "");
}

TEST(GetField, LaunchArgumentWithEmptyTail) {
  std::string arg = "1234,32768,5,/tmp/out.xml.qve,";
  EXPECT_EQ(GetField(arg, ",", 1), "1234");
  EXPECT_EQ(GetField(arg, ",", 4), "/tmp/out.xml.qve");
  EXPECT_EQ(GetField(arg, ",", 5), "");
  EXPECT_EQ(GetField("1,2,3", ",", 4), "");
}

TEST(GetField, NeverMatchesInsideADoubleByteCharacter) {
  // ＼ is 0x81 0x5F and 表 is 0x95 0x5C: its trail byte is a backslash.
  std::string s = Utf8ToCp932("表") + "\\x";
  EXPECT_EQ(GetField(s, "\\", 1), Utf8ToCp932("表"));
  EXPECT_EQ(GetField(s, "\\", 2), "x");
}

}  // namespace
}  // namespace nc16
