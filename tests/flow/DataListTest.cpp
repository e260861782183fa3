// The data-set list as the data-set page shows it: the order of each sort, the shortened paths,
// the period texts, and the list table created when it is missing.

#include "app/flow/DataList.h"

#include <gtest/gtest.h>

#include "app/flow/Connection.h"
#include "app/flow/HolderFolder.h"
#include "external/paradox/ParadoxTable.h"
#include "platform/Cp932.h"
#include "tests/flow/DataListFixture.h"

namespace nc16::test {
namespace {

class DataList : public DataListFixture {
 protected:
  std::string Folder(int n) const { return inst_.data_sets.at(n - 1).folder; }
  std::filesystem::path ListFile() const {
    return NativePath(inst_.common_data_dir) / "db" / "mDataList.db";
  }
};

TEST_F(DataList, ByFolderAscendingAndDescending) {
  auto rows = Load("Holder", "ASC");
  ASSERT_EQ(rows.size(), 200u);
  EXPECT_EQ(rows[0].Holder, Folder(1));
  EXPECT_EQ(rows[0].Name, inst_.data_sets[0].company);
  EXPECT_EQ(rows[0].ShownPath, testing::Native("~/DB/DAT001"));
  EXPECT_EQ(rows[5].Name, SJ("未使用"));
  EXPECT_EQ(rows[5].Period, "");
  EXPECT_EQ(rows[199].ShownPath, testing::Native("~/DB/DAT200"));

  auto down = Load("Holder", "DESC");
  ASSERT_EQ(down.size(), 200u);
  EXPECT_EQ(down[0].ShownPath, testing::Native("~/DB/DAT200"));
  EXPECT_EQ(down[199].Holder, Folder(1));
  EXPECT_TRUE(shown_.empty());
}

TEST_F(DataList, PeriodNamesTheEraAndRightAlignsNumbers) {
  auto rows = Load("Holder", "ASC");
  // The demo's data sets are of December of 令和 6 (2024); data set 1 is of the second payment.
  EXPECT_EQ(Cp932ToUtf8(rows[0].Period), "令和  6年 12月／ 2回");
}

TEST_F(DataList, ByNameKeepsUnusedLastAndEmptyNamesAtTheFarEnd) {
  auto up = Load("Content,Holder", "ASC");
  ASSERT_EQ(up.size(), 200u);
  // Names in byte order, the unused rows (0xFF) after all names.
  for (size_t i = 1; i < 5; ++i)
    EXPECT_LE(up[i - 1].Name, up[i].Name);
  EXPECT_EQ(up[5].Name, SJ("未使用"));
  EXPECT_EQ(up[5].Holder, Folder(1).substr(0, Folder(1).size() - 3) + "006");

  auto down = Load("Content,Holder", "DESC");
  EXPECT_EQ(down[0].Name, SJ("未使用"));
  // Equal names descend by name and ascend by folder.
  EXPECT_EQ(down[0].ShownPath, testing::Native("~/DB/DAT006"));
  EXPECT_NE(down[199].Name, SJ("未使用"));
}

TEST_F(DataList, EmptyNamesMoveToTheFarEnd) {
  // Blank the name of data set 2 through the database layer's own writer: rebuild the list.
  std::filesystem::remove(ListFile());
  std::filesystem::remove(std::filesystem::path(ListFile()).replace_extension(".PX"));
  PointConnection(check_->dbDatabase1, check_->qryWork1, "Kyuyo2", inst_.common_data_dir + "/db");
  db::TTable t;
  t.SetDatabaseName("Kyuyo2");
  t.SetTableName("mDataList.db");
  t.FieldDefs() = {{"SearchKey", db::TFieldType::ftInteger, 0, false},
                   {"Content", db::TFieldType::ftString, 40, false},
                   {"OPcode", db::TFieldType::ftString, 4, false},
                   {"SyoriNen", db::TFieldType::ftInteger, 0, false},
                   {"SyoriTuki", db::TFieldType::ftInteger, 0, false},
                   {"SyoriKai", db::TFieldType::ftInteger, 0, false},
                   {"Holder", db::TFieldType::ftString, 255, false},
                   {"NendoNo", db::TFieldType::ftString, 3, false}};
  t.IndexDefs() = {{"PrimaryIndex", "SearchKey", db::ixPrimary | db::ixUnique}};
  t.CreateTable();
  t.Open();
  const char* names[] = {"b", "", "a", "", "c"};
  for (int i = 0; i < 5; ++i) {
    t.Append();
    t.FieldByName("SearchKey").SetAsInteger(i + 1);
    t.FieldByName("Content").SetAsString(names[i]);
    t.FieldByName("Holder").SetAsString("/x/" + std::to_string(i + 1));
    t.Post();
  }
  t.Append();  // a row without a folder is not listed
  t.FieldByName("SearchKey").SetAsInteger(6);
  t.FieldByName("Content").SetAsString("z");
  t.Post();
  t.Close();

  auto order = [](const std::vector<DataListRow>& rows) {
    std::string s;
    for (const auto& r : rows)
      s += r.Holder.substr(3) + (r.Name.empty() ? "-" : r.Name) + " ";
    return s;
  };
  EXPECT_EQ(order(Load("Content,Holder", "ASC")), "3a 1b 5c 2- 4- ");
  EXPECT_EQ(order(Load("Content,Holder", "DESC")), "2- 4- 5c 1b 3a ");
  EXPECT_EQ(order(Load("Holder", "ASC")), "1b 2- 3a 4- 5c ");
  // No era row matches year 0: empty name, year 0.
  EXPECT_EQ(Cp932ToUtf8(Load("Holder", "ASC")[0].Period), "  0年  0月／ 0回");
}

TEST_F(DataList, MissingListIsCreatedWithTwoHundredUnusedRows) {
  std::filesystem::remove(ListFile());
  auto rows = Load("Holder", "ASC");
  ASSERT_EQ(rows.size(), 200u);
  for (size_t i = 0; i < rows.size(); ++i) {
    char expected[32];
    std::snprintf(expected, sizeof expected, "~/DB/DAT%.3zu", i + 1);
    EXPECT_EQ(rows[i].ShownPath, testing::Native(expected));
    EXPECT_EQ(rows[i].Name, SJ("未使用"));
    EXPECT_EQ(rows[i].Period, "");
  }
  EXPECT_TRUE(shown_.empty());

  // The file as the payroll product knows it: its fields in order, the placeholder bytes.
  px::Table table(ListFile());
  ASSERT_EQ(table.RecordCount(), 200u);
  const char* fields[] = {"SearchKey",  "KaisyaCode", "OPcode",    "Content",  "Password1",
                          "GengoKubun", "SyoriNen",   "SyoriTuki", "SyoriKai", "DatKbn",
                          "MailKbn",    "SyoninKbn",  "Soujyu1",   "Soujyu2",  "Soujyu3",
                          "Soujyu4",    "Holder",     "HolderNo",  "NendoNo"};
  ASSERT_EQ(table.fields().size(), std::size(fields));
  for (size_t i = 0; i < std::size(fields); ++i)
    EXPECT_EQ(table.FieldIndex(fields[i]), int(i));
  auto row = table.At(41).GetAll();
  EXPECT_EQ(std::get<int64_t>(row[0]), 42);
  EXPECT_EQ(std::get<std::string>(row[3]), "\xFF" + SJ("未使用"));
  EXPECT_EQ(std::get<int64_t>(row[9]), -1);
  EXPECT_EQ(std::get<std::string>(row[16]), testing::Native(inst_.common_data_dir + "/DB/DAT042"));
  EXPECT_EQ(std::get<int64_t>(row[17]), 42);
}

TEST_F(DataList, UnreadableListIsReportedOnce) {
  {
    std::ofstream broken(ListFile(), std::ios::binary | std::ios::trunc);
    broken << "not a table";
  }
  auto rows = Load("Holder", "ASC");
  EXPECT_TRUE(rows.empty());
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(Shown()[0].first, MessageKind::kError);
  EXPECT_TRUE(Shown()[0].second.starts_with("ﾃﾞｰﾀﾍﾞｰｽ ｴﾗｰ\r"));
  EXPECT_TRUE(Shown()[0].second.ends_with("\r\r"));
}

TEST(ShortenedPath, CutsTheCommonFolderWhereverItOccurs) {
  EXPECT_EQ(ShortenedPath("C:\\common\\DB\\DAT001", "C:\\common"), "~\\DB\\DAT001");
  EXPECT_EQ(ShortenedPath("D:\\other\\x", "C:\\common"), "D:\\other\\x");
  // Occurring later still cuts the first n bytes, as the payroll product's own lists do.
  EXPECT_EQ(ShortenedPath("X:C:\\c\\d", "C:\\c"), "~\\c\\d");
}

}  // namespace
}  // namespace nc16::test
