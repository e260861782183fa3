// Conversions of stored values to the forms TField hands out.

#include "external/db/FieldValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "external/db/Db.h"

namespace nc16::db::detail {
namespace {

const std::string kName = "F";

FieldRead Int(int64_t v, TFieldType t = TFieldType::ftInteger) {
  return {kName, t, CellView{CellKind::kInt, v, 0, {}}};
}
FieldRead Float(double v, TFieldType t = TFieldType::ftFloat) {
  return {kName, t, CellView{CellKind::kFloat, 0, v, {}}};
}
FieldRead Text(std::string_view v) {
  return {kName, TFieldType::ftString, CellView{CellKind::kText, 0, 0, v}};
}
FieldRead Null(TFieldType t) {
  return {kName, t, CellView{}};
}

TEST(Currency, RoundsToFourDecimalsWithHalvesAwayFromZero) {
  EXPECT_EQ(Currency::FromDouble(1.00005).units, 10001);
  EXPECT_EQ(Currency::FromDouble(-1.00005).units, -10001);
  EXPECT_EQ(Currency::FromDouble(1.00004999).units, 10000);
  EXPECT_EQ(Currency::FromDouble(0.5).units, 5000);
  EXPECT_EQ(Currency::FromDouble(-12345.6789).units, -123456789);
  EXPECT_EQ(Currency::FromDouble(0.00005).units, 1);
  EXPECT_EQ(Currency::FromDouble(0.00015).units, 2);  // 1.4999999999999998 once scaled
  EXPECT_EQ(Currency::FromDouble(-0.00015).units, -2);
  EXPECT_EQ(Currency::FromDouble(-0.0).units, 0);
  EXPECT_EQ(Currency::FromDouble(123456789012.25).units, 1234567890122500);
  EXPECT_THROW(Currency::FromDouble(1e300), EDatabaseError);
  EXPECT_DOUBLE_EQ(Currency{-25000}.ToDouble(), -2.5);
}

TEST(Currency, QuickConversionAgreesWithTheExactOne) {
  // Amounts as a payroll table holds them: yen with up to four decimals, either sign, the
  // doubles right next to them, and exact half units.
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<int64_t> units(-100000000000000, 100000000000000);
  for (int i = 0; i < 200000; ++i) {
    double v = static_cast<double>(units(rng)) / 10000.0;
    if (i % 4 == 1) v = std::nextafter(v, 1e300);
    if (i % 4 == 2) v = std::nextafter(v, -1e300);
    if (i % 4 == 3) v = (static_cast<double>(units(rng)) + 0.5) / 10000.0;
    int64_t exact = 0;
    ASSERT_TRUE(detail::ParseCurrency(detail::FormatFloat(v), exact));
    if (auto quick = detail::UnitsOfDouble(v)) {
      ASSERT_EQ(*quick, exact) << v;
    }
  }
}

TEST(ParseCurrency, ReadsDecimalTextExactly) {
  int64_t u = 0;
  ASSERT_TRUE(ParseCurrency("-0.5", u));
  EXPECT_EQ(u, -5000);
  ASSERT_TRUE(ParseCurrency(" 12.34565 ", u));
  EXPECT_EQ(u, 123457);
  ASSERT_TRUE(ParseCurrency("1e3", u));
  EXPECT_EQ(u, 10000000);
  ASSERT_TRUE(ParseCurrency("5e-5", u));
  EXPECT_EQ(u, 1);
  ASSERT_TRUE(ParseCurrency("+7", u));
  EXPECT_EQ(u, 70000);
  EXPECT_FALSE(ParseCurrency("", u));
  EXPECT_FALSE(ParseCurrency("1.2.3", u));
  EXPECT_FALSE(ParseCurrency("12x", u));
  EXPECT_FALSE(ParseCurrency("99999999999999999999", u));
}

TEST(FieldRead, NullsReadAsEmptyZeroFalseAndTheZeroDate) {
  for (auto t : {TFieldType::ftString, TFieldType::ftInteger, TFieldType::ftCurrency,
                 TFieldType::ftDate, TFieldType::ftBoolean}) {
    const FieldRead f = Null(t);
    EXPECT_EQ(f.AsString(), "");
    EXPECT_EQ(f.AsInteger(), 0);
    EXPECT_FALSE(f.AsBoolean());
    EXPECT_EQ(f.AsFloat(), 0);
    EXPECT_EQ(f.AsDateTime(), 0);
    EXPECT_EQ(f.AsCurrency().units, 0);
  }
}

TEST(FieldRead, NumbersRoundHalvesAwayFromZeroToIntegers) {
  EXPECT_EQ(Float(2.5).AsInteger(), 3);
  EXPECT_EQ(Float(-2.5).AsInteger(), -3);
  EXPECT_EQ(Float(-2.4).AsInteger(), -2);
  EXPECT_EQ(Float(-1234.5, TFieldType::ftCurrency).AsCurrency().units, -12345000);
  EXPECT_EQ(Float(-0.00005, TFieldType::ftCurrency).AsCurrency().units, -1);
  EXPECT_THROW(Float(3e9).AsInteger(), EDatabaseError);
  EXPECT_THROW(Int(int64_t{1} << 40).AsInteger(), EDatabaseError);
  EXPECT_EQ(Int(-7).AsCurrency().units, -70000);
}

TEST(FieldRead, TextFormsOfNumbersDatesAndBooleans) {
  EXPECT_EQ(Int(-42).AsString(), "-42");
  EXPECT_EQ(Float(12.5).AsString(), "12.5");
  EXPECT_EQ(Float(0.1 + 0.2).AsString(), "0.3");
  EXPECT_EQ(Int(1, TFieldType::ftBoolean).AsString(), "True");
  EXPECT_EQ(Int(0, TFieldType::ftBoolean).AsString(), "False");
  // 1 January 2021 is day 44197 after 30 December 1899.
  EXPECT_EQ(Int(44197, TFieldType::ftDate).AsString(), "2021/01/01");
  EXPECT_EQ(Float(44197.75, TFieldType::ftDateTime).AsString(), "2021/01/01 18:00:00");
  EXPECT_EQ(Float(0.5, TFieldType::ftTime).AsString(), "12:00:00");
  EXPECT_EQ(Int(0, TFieldType::ftDate).AsString(), "1899/12/30");
}

TEST(FieldRead, TextConvertsOnlyWhenItIsWhatIsAskedFor) {
  EXPECT_EQ(Text(" 123 ").AsInteger(), 123);
  EXPECT_EQ(Text("").AsInteger(), 0);
  EXPECT_TRUE(Text("true").AsBoolean());
  EXPECT_FALSE(Text("N").AsBoolean());
  EXPECT_EQ(Text("-1.25").AsCurrency().units, -12500);
  EXPECT_EQ(Text("2021/01/01").AsDateTime(), 44197);
  EXPECT_EQ(Text("2021-01-01 06:00").AsDateTime(), 44197.25);
  try {
    (void)Text("abc").AsInteger();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("'abc'"), std::string::npos);
  }
  EXPECT_THROW((void)Text("maybe").AsBoolean(), EDatabaseError);
  EXPECT_THROW((void)Text("2021/13/01").AsDateTime(), EDatabaseError);
}

}  // namespace
}  // namespace nc16::db::detail
