// The dump forms of values: what nc16 pxdump prints and SQL result dumps reuse.

#include <gtest/gtest.h>

#include "external/paradox/ValueText.h"
#include "platform/Cp932.h"

namespace nc16::px {
namespace {

std::string F(const Value& v, FieldType t, int cp = 932) {
  TextDecoder d(cp);
  return FormatValueForDump(v, t, d);
}

TEST(ValueTextTest, NumbersInTheirShortestPlainForm) {
  EXPECT_EQ(F(3.0, FieldType::Number), "3");
  EXPECT_EQ(F(100000.0, FieldType::Number), "100000");
  EXPECT_EQ(F(0.1, FieldType::Money), "0.1");
  EXPECT_EQ(F(-1234.5, FieldType::Money), "-1234.5");
  EXPECT_EQ(F(1e21, FieldType::Number), "1000000000000000000000");
  EXPECT_EQ(F(int64_t{-32767}, FieldType::Short), "-32767");
  EXPECT_EQ(F(Decimal{"-1.50"}, FieldType::BCD), "-1.50");
  EXPECT_EQ(F(true, FieldType::Logical), "true");
  EXPECT_EQ(F(false, FieldType::Logical), "false");
  EXPECT_EQ(F(Value{}, FieldType::Long), "\\N");
}

TEST(ValueTextTest, DatesTimesAndTimestamps) {
  EXPECT_EQ(F(Date{kDaysTo18991230}, FieldType::Date), "1899-12-30");
  EXPECT_EQ(F(Date{1}, FieldType::Date), "0001-01-01");
  EXPECT_EQ(F(Date{730006}, FieldType::Date), "1999-09-09");
  EXPECT_EQ(F(Time{(13 * 3600 + 5 * 60 + 9) * 1000 + 7}, FieldType::Time), "13:05:09.007");
  const double ms = (730006.0 * 86400 + 11 * 3600 + 11 * 60 + 11) * 1000 + 250;
  EXPECT_EQ(F(Timestamp{ms}, FieldType::Timestamp), "1999-09-09 11:11:11.250");
  for (int days : {1, 59, 60, 61, 365, 366, 693594, 730006, 3652059}) {
    int y, m, d;
    CivilFromDays(days, y, m, d);
    EXPECT_EQ(DaysFromCivil(y, m, d), days);
  }
}

TEST(ValueTextTest, TextDecodedAndEscaped) {
  EXPECT_EQ(F(SJ("給与\t明細\\"), FieldType::Alpha), "給与\\t明細\\\\");
  EXPECT_EQ(F(std::string("a\r\nb"), FieldType::Memo), "a\\r\\nb");
  EXPECT_EQ(F(std::string("\x80"), FieldType::Alpha, 1252), "€");
  EXPECT_EQ(F(std::string("\xE0"), FieldType::Alpha, 866), "р");
  EXPECT_EQ(F(std::string("\x82"), FieldType::Alpha, 0), "é");               // no code page: 437
  EXPECT_EQ(F(std::string("\x81"), FieldType::Alpha, 932), "\xEF\xBF\xBD");  // cut character
}

TEST(ValueTextTest, BinaryAsLowercaseHex) {
  EXPECT_EQ(F(std::string("\x00\xAB\x10", 3), FieldType::Blob), "00ab10");
  EXPECT_EQ(F(std::string("\xFF", 1), FieldType::Bytes), "ff");
  EXPECT_EQ(F(std::string("BM"), FieldType::Graphic), "424d");
}

}  // namespace
}  // namespace nc16::px
