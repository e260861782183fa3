// The demo data's random numbers are part of what a seed promises: the same installation from
// every build. These pin the generator and the individual-number check digit.

#include <gtest/gtest.h>

#include <set>

#include "tools/demo/DemoNames.h"
#include "tools/demo/DemoRandom.h"

namespace nc16::demo {
namespace {

TEST(DemoRandom, IsSplitMix64) {
  DemoRandom rng(0);
  EXPECT_EQ(rng.Next(), 0xE220A8397B1DCDAFull);
  EXPECT_EQ(rng.Next(), 0x6E789E6AA1B965F4ull);
  EXPECT_EQ(rng.Next(), 0x06C45D188009454Full);
}

TEST(DemoRandom, StreamsDependOnSeedAndPartOnly) {
  EXPECT_EQ(DemoRandom::Stream(7, 3).Next(), DemoRandom::Stream(7, 3).Next());
  EXPECT_NE(DemoRandom::Stream(7, 3).Next(), DemoRandom::Stream(7, 4).Next());
  EXPECT_NE(DemoRandom::Stream(7, 3).Next(), DemoRandom::Stream(8, 3).Next());
  DemoRandom rng(1);
  std::set<int64_t> seen;
  for (int i = 0; i < 1000; ++i) {
    const int64_t v = rng.Between(-2, 2);
    ASSERT_GE(v, -2);
    ASSERT_LE(v, 2);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 5u);
}

TEST(DemoNames, IndividualNumbersCarryTheirCheckDigit) {
  EXPECT_EQ(IndividualNumberCheckDigit("12345678901"), '8');  // 123456789018
  EXPECT_EQ(IndividualNumberCheckDigit("00000000000"), '0');
  EXPECT_EQ(IndividualNumberCheckDigit("00000000001"), '9');  // 2 mod 11 -> 11 - 2
  DemoRandom rng(5);
  for (int i = 0; i < 200; ++i) {
    const std::string n = MakeIndividualNumber(rng);
    ASSERT_EQ(n.size(), 12u);
    ASSERT_EQ(n.find_first_not_of("0123456789"), std::string::npos) << n;
    ASSERT_EQ(n[11], IndividualNumberCheckDigit(n.substr(0, 11))) << n;
  }
}

TEST(DemoNames, MenAndWomenComeFromTheirOwnNames) {
  DemoRandom a(9), b(9);
  std::set<std::string> men, women;
  for (int i = 0; i < 200; ++i) {
    men.insert(PickGivenName(a, true).name);
    women.insert(PickGivenName(b, false).name);
  }
  for (const std::string& m : men)
    EXPECT_EQ(women.count(m), 0u);
}

}  // namespace
}  // namespace nc16::demo
