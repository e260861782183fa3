// The index behind Locate: the order it bisects by, and both of its ways of finding a key.

#include "external/db/LocateIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace nc16::db::detail {
namespace {

// Locate bisects rows sorted in this order, so it must agree with CellsEqual on what is equal
// and be exact where integers meet floats.
TEST(CompareCells, OrdersNullThenNumbersThenBytesAndAgreesWithEquality) {
  const CellView null{}, nan{CellKind::kFloat, 0, std::nan(""), {}};
  const auto i = [](int64_t v) { return CellView{CellKind::kInt, v, 0, {}}; };
  const auto f = [](double v) { return CellView{CellKind::kFloat, 0, v, {}}; };
  const auto t = [](std::string_view v) { return CellView{CellKind::kText, 0, 0, v}; };
  const auto b = [](std::string_view v) { return CellView{CellKind::kBlob, 0, 0, v}; };
  const int64_t big = (int64_t{1} << 53) + 1;  // no double holds it
  const struct {
    CellView a, b;
    int order;
  } cases[] = {
      {null, null, 0},       {null, i(-5), -1},      {i(1), f(1.0), 0},
      {i(2), f(1.5), 1},     {i(-1), f(-0.5), -1},   {i(big), f(static_cast<double>(big)), 1},
      {f(-0.0), f(0.0), 0},  {i(7), t(""), -1},      {t("a"), b("a"), 0},
      {t("ab"), t("b"), -1}, {t("\x81"), t("a"), 1}, {i(0), f(-1e300), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.order);
    EXPECT_EQ(CompareCells(c.a, c.b), c.order);
    EXPECT_EQ(CompareCells(c.b, c.a), -c.order);
    EXPECT_EQ(CellsEqual(c.a, c.b), c.order == 0);
  }
  EXPECT_FALSE(CompareCells(nan, nan));
  EXPECT_FALSE(CompareCells(i(1), nan));
}

// Rows in key order are bisected (galloping from the last look-up), others hashed; both find the
// first row of a key, in any order of look-ups.
TEST(LocateIndex, FindsTheFirstRowOfAKeyWhetherBisectingOrHashing) {
  std::mt19937 random(7);
  for (const bool sorted : {true, false}) {
    SCOPED_TRACE(sorted);
    RowSet rows(3);  // key (a, b), then the row's own number
    std::vector<std::pair<int64_t, int64_t>> keys;
    for (int r = 0; r < 300; ++r)
      keys.emplace_back(random() % 40, random() % 3);
    if (sorted) std::sort(keys.begin(), keys.end());
    for (size_t r = 0; r < keys.size(); ++r) {
      rows.AddInt(keys[r].first);
      rows.AddFloat(static_cast<double>(keys[r].second));  // found by integer probes
      rows.AddInt(static_cast<int64_t>(r));
    }
    const CellRows source(rows);
    const LocateIndex index(source, {0, 1});
    EXPECT_EQ(index.Bisects(), sorted);
    for (int probe = 0; probe < 500; ++probe) {
      const int64_t a = random() % 42 - 1, b = random() % 4;
      const auto first = std::find(keys.begin(), keys.end(), std::pair{a, b});
      const std::optional<size_t> want =
          first == keys.end() ? std::nullopt
                              : std::optional<size_t>(static_cast<size_t>(first - keys.begin()));
      EXPECT_EQ(
          index.Find({CellView{CellKind::kInt, a, 0, {}}, CellView{CellKind::kInt, b, 0, {}}}),
          want)
          << a << "," << b;
    }
  }
}

}  // namespace
}  // namespace nc16::db::detail
