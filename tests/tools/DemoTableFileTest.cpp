#include <gtest/gtest.h>

#include "external/paradox/ParadoxTable.h"
#include "external/paradox/ParadoxWriter.h"
#include "external/paradox/ValueText.h"
#include "platform/Cp932.h"
#include "tests/platform/TempFolder.h"
#include "tools/demo/DemoEmployee.h"
#include "tools/demo/DemoTableFile.h"
#include "tools/demo/PayrollSchema.h"

namespace nc16::demo {
namespace {

class TableFileTest : public ::testing::Test {
 protected:
  std::string Folder() const { return FromNativePath(tmp_.Path()); }
  std::filesystem::path File(const char* name) const { return tmp_.Path() / name; }
  testing::TempFolder tmp_;
};

// Payment rows keyed (employee, kind, number, input kind), many blocks' worth.
void WritePayments(TableFile& t, int employees) {
  for (int e = 1; e <= employees; ++e)
    for (int kai = 1; kai <= 12; ++kai) {
      t.SetInt("Syain", e);
      t.SetInt("SikyuKbn", 0);
      t.SetInt("SikyuKai", kai);
      t.SetInt("InputKbn", 1);
      t.SetMoney("KazeiSikyu", e * 1000 + kai + 0.5);
      t.SetMoney("SyahoKoujyo", -kai);
      if (kai % 3) t.SetInt("FuyouSu", kai % 3);
      t.Add();
    }
}

TEST_F(TableFileTest, RecordsSpanningManyBlocksReadBackInOrderWithTheirValues) {
  TableFile t(Folder(), "tNenchoMeisai", 700005);
  WritePayments(t, 100);
  t.Finish();
  EXPECT_EQ(t.RecordCount(), 1200u);

  const px::Table table(File("tNenchoMeisai.DB"));
  ASSERT_EQ(table.RecordCount(), 1200u);
  EXPECT_GT(table.header().last_block, 1);
  EXPECT_EQ(table.header().key_field_count, 4);
  const int syain = table.FieldIndex("Syain"), kai = table.FieldIndex("SikyuKai");
  const int kazei = table.FieldIndex("KazeiSikyu"), syaho = table.FieldIndex("SyahoKoujyo");
  const int fuyou = table.FieldIndex("FuyouSu"), zeigaku = table.FieldIndex("CalcZeigaku");
  for (size_t i = 0; i < table.RecordCount(); ++i) {
    const px::Record r = table.At(i);
    const int e = static_cast<int>(i / 12) + 1, k = static_cast<int>(i % 12) + 1;
    ASSERT_EQ(r.GetInteger(syain), e) << i;
    ASSERT_EQ(r.GetInteger(kai), k) << i;
    ASSERT_EQ(r.GetDouble(kazei), e * 1000 + k + 0.5) << i;
    ASSERT_EQ(r.GetDouble(syaho), -k) << i;
    ASSERT_EQ(r.IsNull(fuyou), k % 3 == 0) << i;
    ASSERT_TRUE(r.IsNull(zeigaku)) << i;  // never set: blank, not zero
  }
  EXPECT_TRUE(std::filesystem::exists(File("tNenchoMeisai.PX")));
}

TEST_F(TableFileTest, TheWriterAppendsToABulkTableInKeyOrder) {
  {
    TableFile t(Folder(), "tNenchoMeisai", 700005);
    WritePayments(t, 40);  // 480 records, several blocks
    t.Finish();
  }
  {
    px::TableWriter w(File("tNenchoMeisai.DB"));
    EXPECT_EQ(w.RecordCount(), 480u);
    // Employee 20 gets a bonus row: its place is after the salary rows of employee 20.
    w.Append({int64_t{20}, int64_t{1}, int64_t{1}, int64_t{1}, 99.0});
  }
  const px::Table table(File("tNenchoMeisai.DB"));
  ASSERT_EQ(table.RecordCount(), 481u);
  const px::Record inserted = table.At(20 * 12);
  EXPECT_EQ(inserted.GetInteger(0), 20);
  EXPECT_EQ(inserted.GetInteger(1), 1);
  EXPECT_EQ(inserted.GetDouble(4), 99.0);
  EXPECT_EQ(table.At(20 * 12 + 1).GetInteger(0), 21);
}

TEST_F(TableFileTest, AnEmptyTableHasItsColumnsAndNoRecord) {
  TableFile(Folder(), "tMNLog", 700005).Finish();
  const px::Table table(File("tMNLog.DB"));
  EXPECT_EQ(table.RecordCount(), 0u);
  EXPECT_EQ(table.fields().size(), 14u);
}

TEST_F(TableFileTest, KeysMustAscend) {
  TableFile t(Folder(), "tFamily", 700005);
  auto row = [&](int syain, int group, int id) {
    t.SetInt("Syain", syain);
    t.SetInt("GroupKbn", group);
    t.SetInt("RowID", id);
    t.Add();
  };
  row(1, 0, 1);
  row(1, 1, 1);
  row(2, 1, 1);
  EXPECT_THROW(row(2, 1, 1), std::logic_error);   // duplicate
  EXPECT_THROW(row(1, 1, 2), std::logic_error);   // backwards
  EXPECT_THROW(row(-1, 1, 1), std::logic_error);  // negative sorts before positive
  row(2, 1, 2);
  t.Finish();
  EXPECT_EQ(px::Table(File("tFamily.DB")).RecordCount(), 4u);
}

TEST_F(TableFileTest, ColumnsAreCheckedByNameTypeAndSize) {
  TableFile t(Folder(), "mSyain", 300002);
  EXPECT_THROW(t.SetInt("NoSuchColumn", 1), std::logic_error);
  EXPECT_THROW(t.SetText("SearchKey", "1"), std::logic_error);
  EXPECT_THROW(t.SetText("SyainCD", "12345678901"), std::length_error);  // 10 bytes
  // A column of a later data version is dropped without complaint.
  EXPECT_NO_THROW(t.SetText("MNum", "V1abc"));
  EXPECT_NO_THROW(t.SetText("MailAddress", "a@b"));
  t.SetInt("SearchKey", 1);
  t.SetText("SyainCD", "0123456789");
  t.Add();
  t.Finish();
  const px::Table table(File("mSyain.DB"));
  EXPECT_EQ(table.FieldIndex("MNum"), -1);
  EXPECT_EQ(table.FieldIndex("ChosyuKbn"), -1);
  EXPECT_EQ(table.At(0).AlphaView(table.FieldIndex("SyainCD")), "0123456789");
}

TEST_F(TableFileTest, AnExistingTableIsNotOverwritten) {
  TableFile(Folder(), "mPost", 700005).Finish();
  EXPECT_THROW(TableFile(Folder(), "mPost", 700005), std::runtime_error);
}

TEST(DemoDates, CountFromTheProductsOrigin) {
  EXPECT_EQ(MakeDate(1899, 12, 30).days, px::kDaysTo18991230);
  EXPECT_EQ(MakeDate(1989, 1, 8).days - MakeDate(1989, 1, 7).days, 1);
  int y = 0, m = 0, d = 0;
  px::CivilFromDays(MakeDate(2024, 2, 29).days, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
}

}  // namespace
}  // namespace nc16::demo
