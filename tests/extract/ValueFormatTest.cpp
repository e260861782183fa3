#include "extract/ValueFormat.h"

#include <gtest/gtest.h>

namespace nc16 {
namespace {

db::Currency C(int64_t units) {
  return db::Currency{units};
}

TEST(ValueFormat, AmountsRoundHalvesAwayFromZero) {
  EXPECT_EQ(FormatAmount0(C(0)), "0");
  EXPECT_EQ(FormatAmount(C(0)), "");
  EXPECT_EQ(FormatAmount0(C(15000)), "2");    // 1.5
  EXPECT_EQ(FormatAmount0(C(14999)), "1");    // 1.4999
  EXPECT_EQ(FormatAmount0(C(-15000)), "-2");  // -1.5
  EXPECT_EQ(FormatAmount0(C(-4999)), "0");    // -0.4999 rounds to zero, never "-0"
  EXPECT_EQ(FormatAmount(C(-4999)), "");
  EXPECT_EQ(FormatAmount(C(12345678900000)), "1234567890");
}

TEST(ValueFormat, DatesAfterTheZeroDateOnly) {
  EXPECT_EQ(FormatDate(0), "");
  EXPECT_EQ(FormatDate(-1), "");
  EXPECT_EQ(FormatDate(1), "18991231");
  EXPECT_EQ(FormatDate(EncodeDate(1989, 1, 8)), "19890108");
  EXPECT_EQ(FormatDate(EncodeDate(2024, 2, 29) + 0.75), "20240229");
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
}

}  // namespace
}  // namespace nc16
