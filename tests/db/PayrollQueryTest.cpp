// The program's own statements on a payroll data set written through the Paradox writer.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "external/db/Db.h"
#include "platform/Cp932.h"
#include "tests/db/PayrollData.h"

namespace nc16::db {
namespace {

using testing::TempFolder;

constexpr int kEmployees = 12;

class PayrollQuery : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    testing::DataSetShape shape;
    shape.employees = kEmployees;
    shape.details_per_employee = 14;
    testing::WriteDataSet(folder_->path(), shape);
  }
  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  void SetUp() override {
    db_.SetDatabaseName("K2Data");
    db_.SetDriverName("STANDARD");
    db_.Params() = {"PATH=" + folder_->str(), "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"};
    db_.Open();
  }

  static void Run(TQuery& q, std::vector<std::string> sql) {
    q.SetDatabaseName("K2Data");
    q.SQL() = std::move(sql);
    q.Prepare();
    q.Open();
    q.First();
  }

  static TempFolder* folder_;
  TDatabase db_;
};

TempFolder* PayrollQuery::folder_ = nullptr;

TEST_F(PayrollQuery, VersionAndCompanyQueries) {
  TQuery v;
  Run(v, {"SELECT Mkaisya.Version FROM \"mKaisya.DB\" Mkaisya"});
  EXPECT_EQ(v.FieldByName("Version").AsInteger(), 700005);

  TQuery c;
  Run(c,
      {"SELECT Mkaisya.KaisyaMei,Mkaisya.SyoriNen,Mkaisya.Version", "FROM \"mKaisya.db\" Mkaisya"});
  EXPECT_EQ(c.FieldByName("KaisyaMei").AsString(), SJ("株式会社テスト"));
  EXPECT_EQ(c.FieldByName("SyoriNen").AsInteger(), 2021);
  c.Close();
  Run(c, {"SELECT Mkaisya.MNUse, Mkaisya.MNPW", "FROM \"mKaisya.db\" Mkaisya"});
  EXPECT_TRUE(c.FieldByName("MNUse").AsBoolean());
  EXPECT_EQ(c.FieldByName("MNPW").AsString(), "ENCODED");
}

TEST_F(PayrollQuery, EmployeeQueryOfEveryVersionBand) {
  for (int version : {20349, 300003, 400003, 500002, 600001, 700001, 700005}) {
    SCOPED_TRACE(version);
    TQuery q;
    Run(q, testing::EmployeeQuery(version));
    // Employee 11 has no tNenchoData row and drops out; employee 7 has no tHokenKoujo row but
    // the full outer join keeps it.
    ASSERT_EQ(q.RecordCount(), kEmployees - 1);
    std::vector<int> keys;
    std::string prev_code;
    for (q.First(); !q.Eof(); q.Next()) {
      const std::string code = q.FieldByName("SyainCD").AsString();
      EXPECT_LT(prev_code, code);  // ascending employee codes
      prev_code = code;
      const int key = q.FieldByName("SearchKey").AsInteger();
      keys.push_back(key);
      // SearchKey is mSyain's: mBumon's (1 + key % 20) comes later in the select list.
      EXPECT_EQ(q.FieldByName("Bumon").AsInteger(), 1 + key % 20);
      EXPECT_EQ(q.FieldByName("Syain").AsInteger(), key);
      EXPECT_EQ(q.FieldByName("HaiguSyotoku").AsCurrency(),
                q.FieldByName("HaiguSyotoku").AsCurrency());
      EXPECT_TRUE(q.FieldByName("InputFlg").AsBoolean());
      EXPECT_EQ(q.FieldByName("SyainNM").AsString(), SJ("山田　太郎") + std::to_string(key));
      if (version >= 500002) {
        EXPECT_EQ(q.FieldByName("HaigusyaKN").IsNull(), key % 7 == 0);
        EXPECT_EQ(q.FieldByName("Zokugara").AsString(), SJ("本人"));
      }
    }
    EXPECT_EQ(keys.front(), kEmployees);  // codes run in reverse key order
    EXPECT_EQ(keys.back(), 1);
    if (version >= 600001) {
      q.First();
      EXPECT_EQ(q.FieldByName("MNum").AsString(), "MNUM" + std::to_string(kEmployees));
    } else {
      EXPECT_THROW(q.FieldByName("MNum"), EDatabaseError);
    }
    if (version >= 700001) {
      EXPECT_EQ(q.FieldByName("JyutakuKoujyoCnt").AsInteger(), 1);
    } else {
      EXPECT_THROW(q.FieldByName("JyutakuKoujyoCnt"), EDatabaseError);
    }
  }
}

TEST_F(PayrollQuery, FamilyQueryLocatesSpouseAndDependantsByKey) {
  TQuery f;
  Run(f, {"SELECT * FROM \"tFamily.db\" Tfamily", "ORDER BY Syain, GroupKbn, RowID"});
  EXPECT_EQ(f.RecordCount(), kEmployees * 3);
  ASSERT_TRUE(f.Locate("Syain;GroupKbn;RowID", {int64_t{5}, int64_t{0}, int64_t{1}}));
  EXPECT_EQ(f.FieldByName("Name").AsString(), SJ("家族0"));
  EXPECT_EQ(f.FieldByName("BirthDay").AsDateTime(), 32874);  // 1 January 1990
  ASSERT_TRUE(f.Locate("Syain;GroupKbn;RowID", {int64_t{5}, int64_t{1}, int64_t{2}}));
  EXPECT_EQ(f.FieldByName("Name").AsString(), SJ("家族2"));
  EXPECT_FALSE(f.Locate("Syain;GroupKbn;RowID", {int64_t{5}, int64_t{1}, int64_t{3}}));
  EXPECT_EQ(f.FieldByName("Name").AsString(), SJ("家族2"));  // the cursor stayed
  EXPECT_EQ(f.FieldByName("Syain").AsInteger(), 5);
}

TEST_F(PayrollQuery, DetailQueryLocatesPaymentsWithoutExtension) {
  TQuery m;
  Run(m,
      {"SELECT * FROM \"tNenchoMeisai\" Tnencho", "ORDER BY Syain, SikyuKbn, SikyuKai, InputKbn"});
  EXPECT_EQ(m.RecordCount(), kEmployees * 14);
  int64_t prev = -1;
  for (m.First(); !m.Eof(); m.Next()) {
    const int64_t key =
        m.FieldByName("Syain").AsInteger() * 10000 + m.FieldByName("SikyuKbn").AsInteger() * 1000 +
        m.FieldByName("SikyuKai").AsInteger() * 10 + m.FieldByName("InputKbn").AsInteger();
    EXPECT_LT(prev, key);
    prev = key;
  }
  // Salary 1 (d = 0) is InputKbn 0; salary 2 is InputKbn 1.
  EXPECT_FALSE(m.Locate("Syain;SikyuKbn;SikyuKai;InputKbn",
                        {int64_t{3}, int64_t{0}, int64_t{1}, int64_t{1}}));
  ASSERT_TRUE(m.Locate("Syain;SikyuKbn;SikyuKai;InputKbn",
                       {int64_t{3}, int64_t{0}, int64_t{1}, int64_t{0}}));
  EXPECT_EQ(m.FieldByName("SikyuKai").AsInteger(), 1);
  ASSERT_TRUE(m.Locate("Syain;SikyuKbn;SikyuKai;InputKbn",
                       {int64_t{3}, int64_t{1}, int64_t{2}, int64_t{1}}));
  EXPECT_EQ(m.FieldByName("SikyuKbn").AsInteger(), 1);
  EXPECT_GE(m.FieldByName("KazeiSikyu").AsCurrency().units, 0);
  EXPECT_EQ(m.FieldByName("KazeiSikyu").AsCurrency().units % 10000, 0);
}

TEST_F(PayrollQuery, TablesChangedOnDiskAreReadAgain) {
  TQuery q;
  Run(q, {"SELECT * FROM \"mPost.db\" Mpost ORDER BY SearchKey DESC"});
  EXPECT_EQ(q.RecordCount(), 10);
  q.Close();
  const auto append = [](int key) {
    TTable t;
    t.SetDatabaseName("K2Data");
    t.SetTableName("mPost.db");
    t.SetExclusive(true);
    t.Open();
    t.Append();
    t.FieldByName("SearchKey").SetAsInteger(key);
    t.FieldByName("PostNM").SetAsString(SJ("新役職"));
    t.Post();
    t.Close();
  };
  append(99);
  Run(q, {"SELECT * FROM \"mPost.db\" Mpost ORDER BY SearchKey DESC"});
  EXPECT_EQ(q.RecordCount(), 11);
  EXPECT_EQ(q.FieldByName("PostNM").AsString(), SJ("新役職"));
  EXPECT_TRUE(q.FieldByName("PostCD").IsNull());

  // Prepared before the change, opened after it: the statement made then reads the table now.
  q.Close();
  q.Prepare();
  append(100);
  q.Open();
  EXPECT_EQ(q.RecordCount(), 12);
  EXPECT_EQ(q.FieldByName("SearchKey").AsInteger(), 100);
}

// The data list of Part-1.3 shape, created and filled through TTable as the wizard does.
class DataList : public ::testing::Test {
 protected:
  void SetUp() override {
    TTable t;
    t.SetDatabaseName(folder_.str());
    t.SetTableName("mDataList.db");
    auto& f = t.FieldDefs();
    auto def = [&](const char* name, TFieldType type, int size = 0) {
      f.push_back(TFieldDef{name, type, size, false});
    };
    def("SearchKey", TFieldType::ftInteger);
    def("KaisyaCode", TFieldType::ftString, 4);
    def("OPcode", TFieldType::ftString, 4);
    def("Content", TFieldType::ftString, 40);
    def("Password1", TFieldType::ftString, 10);
    for (const char* n : {"GengoKubun", "SyoriNen", "SyoriTuki", "SyoriKai", "DatKbn"}) {
      def(n, TFieldType::ftInteger);
    }
    def("MailKbn", TFieldType::ftBoolean);
    def("SyoninKbn", TFieldType::ftBoolean);
    for (const char* n : {"Soujyu1", "Soujyu2", "Soujyu3", "Soujyu4"})
      def(n, TFieldType::ftInteger);
    def("Holder", TFieldType::ftString, 255);
    def("HolderNo", TFieldType::ftInteger);
    def("NendoNo", TFieldType::ftString, 3);
    t.IndexDefs() = {{"PrimaryIndex", "SearchKey", ixPrimary | ixUnique},
                     {"CoCodeIdx", "KaisyaCode", ixCaseInsensitive},
                     {"SortIdx", "Content;SearchKey", ixCaseInsensitive}};
    t.CreateTable();
    t.SetExclusive(true);
    t.Open();
    // Unused placeholders, an unnamed data set, names that order differently by bytes than by
    // reading, and a row without a folder.
    const std::string unused = "\xFF" + SJ("未使用");
    const std::vector<std::pair<std::string, std::string>> rows = {
        {unused, "/d/DAT001"},     {SJ("ア社"), "/d/DAT002"},
        {"", "/d/DAT003"},         {"\xB1" + SJ("社"), "/d/DAT004"},
        {"A", "/d/DAT005"},        {unused, "/d/DAT006"},
        {SJ("ア社"), "/d/DAT000"}, {"B", ""}};
    int key = 0;
    for (const auto& [content, holder] : rows) {
      t.Append();
      t.FieldByName("SearchKey").SetAsInteger(++key);
      t.FieldByName("KaisyaCode").SetAsString("");
      t.FieldByName("Content").SetAsString(content);
      t.FieldByName("DatKbn").SetAsInteger(-1);
      t.FieldByName("MailKbn").SetAsBoolean(false);
      t.FieldByName("Holder").SetAsString(holder);
      t.FieldByName("HolderNo").SetAsInteger(key);
      t.Post();
    }
    t.Close();
  }

  std::vector<int> Keys(const std::string& order_line) {
    TQuery q;
    q.SetDatabaseName(folder_.str());
    q.SQL() = {
        "SELECT SearchKey,Content,OPcode,SyoriNen,SyoriTuki,SyoriKai,Holder,NendoNo FROM "
        "mDataList.DB",
        "WHERE Holder <> ''", order_line};
    q.Open();
    std::vector<int> keys;
    for (q.First(); !q.Eof(); q.Next())
      keys.push_back(q.FieldByName("SearchKey").AsInteger());
    return keys;
  }

  TempFolder folder_;
};

TEST_F(DataList, OrdersByBytesWithBlanksFirstAscendingAndLastDescending) {
  EXPECT_EQ(Keys("ORDER BY Holder ASC"), (std::vector<int>{7, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Keys("ORDER BY Holder DESC"), (std::vector<int>{6, 5, 4, 3, 2, 1, 7}));
  // Blank name (3) first; "A" (0x41) < "ア社" (0x83 0x41) < "ｱ社" (0xB1) < 0xFF placeholders.
  EXPECT_EQ(Keys("ORDER BY Content,Holder ASC"), (std::vector<int>{3, 5, 7, 2, 4, 1, 6}));
  EXPECT_EQ(Keys("ORDER BY Content DESC, Holder ASC"), (std::vector<int>{1, 6, 4, 7, 2, 5, 3}));
}

TEST_F(DataList, CreatedFieldsReadBackAsWritten) {
  TQuery q;
  q.SetDatabaseName(folder_.str());
  q.SQL() = {"SELECT * FROM \"MDATALIST\" WHERE SearchKey = 1"};
  q.Open();
  EXPECT_EQ(q.FieldByName("Content").AsString(), "\xFF" + SJ("未使用"));
  EXPECT_EQ(q.FieldByName("Content").AsString().size(), 7u);
  EXPECT_EQ(q.FieldByName("DatKbn").AsInteger(), -1);
  EXPECT_FALSE(q.FieldByName("MailKbn").IsNull());
  EXPECT_TRUE(q.FieldByName("SyoninKbn").IsNull());
  EXPECT_TRUE(q.FieldByName("KaisyaCode").IsNull());
  EXPECT_EQ(q.FieldByName("Holder").DataType(), TFieldType::ftString);
}

// The era lookups read mGengo without an order clause: the table's own (key) order.
TEST(EraTable, BothLookupStatementsReadTheRowsInKeyOrder) {
  TempFolder folder;
  const std::vector<px::FieldDef> fields = {{"SearchKey", px::FieldType::Long, 0},
                                            {"GengoMei", px::FieldType::Alpha, 10},
                                            {"StartNen", px::FieldType::Long, 0},
                                            {"EndNen", px::FieldType::Long, 0},
                                            {"HoseiNen", px::FieldType::Long, 0}};
  // Appended out of key order; the keyed table keeps them by key.
  testing::WriteTable(folder.path(), "mGengo.db", fields, 1,
                      {{int64_t{5}, SJ("令和"), int64_t{2019}, int64_t{0}, int64_t{2018}},
                       {int64_t{3}, SJ("昭和"), int64_t{1926}, int64_t{1989}, int64_t{1925}},
                       {int64_t{4}, SJ("平成"), int64_t{1989}, int64_t{2019}, int64_t{1988}}});
  TDatabase db;
  db.SetDatabaseName("K2Holder");
  db.SetDriverName("STANDARD");
  db.Params() = {"PATH=" + folder.str(), "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"};
  db.Open();
  TQuery q;
  q.SetDatabaseName("K2Holder");
  q.SQL() = {"SELECT Mgengo.SearchKey, Mgengo.StartNen, Mgengo.EndNen, Mgengo.HoseiNen",
             "FROM \"mGengo.db\" Mgengo"};
  q.Open();
  std::vector<int> keys;
  for (q.First(); !q.Eof(); q.Next())
    keys.push_back(q.FieldByName("SearchKey").AsInteger());
  EXPECT_EQ(keys, (std::vector<int>{3, 4, 5}));
  q.Close();
  q.SQL() = {"SELECT Mgengo.SearchKey, Mgengo.GengoMei, Mgengo.StartNen, Mgengo.EndNen",
             "FROM \"mGengo.db\" Mgengo"};
  q.Open();
  q.Next();
  q.Next();
  EXPECT_EQ(q.FieldByName("GengoMei").AsString(), SJ("令和"));
  EXPECT_EQ(q.FieldByName("EndNen").AsInteger(), 0);
  EXPECT_THROW(q.FieldByName("HoseiNen"), EDatabaseError);
}

TEST(TableFiles, UpperCaseFilesAnswerToTheProgramsSpelling) {
  TempFolder folder;
  const auto dat = folder.path() / "DB" / "DAT001";
  std::filesystem::create_directories(dat);
  testing::WriteTable(dat, "MKAISYA.DB", testing::KaisyaFields(), 0,
                      {{std::string("X"), int64_t{2020}, int64_t{20349}, false, px::Value{}}});
  TQuery q;
  q.SetDatabaseName(folder.str() + "/db/dat001");  // the folder's names in any case, too
  q.SQL() = {"SELECT Mkaisya.Version FROM \"mKaisya.DB\" Mkaisya"};
  q.Open();
  EXPECT_EQ(q.FieldByName("Version").AsInteger(), 20349);
  q.Close();

#ifndef _WIN32  // a Windows folder cannot hold them
  // Two files that Windows would take for one: an engine error naming both.
  std::filesystem::copy_file(dat / "MKAISYA.DB", dat / "mkaisya.db");
  try {
    q.Open();
    FAIL() << "opened";
  } catch (const EDBEngineError& e) {
    EXPECT_NE(std::string(e.what()).find((dat / "MKAISYA.DB").string()), std::string::npos);
    EXPECT_NE(std::string(e.what()).find((dat / "mkaisya.db").string()), std::string::npos);
  }
#endif
}

// A connection finds its tables once; a table renamed (here in another letter case) or added
// during its life is still found, under the name it has now.
TEST(TableFiles, AConnectionFindsTablesRenamedOrAddedSinceItsFirstLook) {
  TempFolder folder;
  const std::vector<px::FieldDef> one = {{"N", px::FieldType::Long, 0}};
  testing::WriteTable(folder.path(), "T.DB", one, 0, {{int64_t{1}}});
  testing::WriteTable(folder.path(), "V.DB", one, 0, {{int64_t{6}}});
  TDatabase db;
  db.SetDatabaseName("K2Renamed");
  db.SetDriverName("STANDARD");
  db.Params() = {"PATH=" + folder.str(), "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"};
  db.Open();
  const auto sum = [](const char* table) {
    TQuery q;
    q.SetDatabaseName("K2Renamed");
    q.SQL() = {std::string("SELECT SUM(N) AS S FROM \"") + table + "\" X"};
    q.Open();
    return q.FieldByName("S").AsInteger();
  };
  EXPECT_EQ(sum("t.db"), 1);
  std::filesystem::remove(folder.path() / "T.DB");
  testing::WriteTable(folder.path(), "t.Db", one, 0, {{int64_t{2}}, {int64_t{3}}});
  EXPECT_EQ(sum("t.db"), 5);
  testing::WriteTable(folder.path(), "U.DB", one, 0, {{int64_t{4}}});
  EXPECT_EQ(sum("u.db"), 4);
  // Renamed after the folder was listed, before it was first read.
  std::filesystem::rename(folder.path() / "V.DB", folder.path() / "v.dB");
  EXPECT_EQ(sum("v.db"), 6);
}

// Connections are reused from one session to the next with their table declarations: each
// session still sees only its own folder's tables, as they are on disk now.
TEST(TableFiles, EachSessionReadsItsOwnFolderAsItIsNow) {
  TempFolder a, b, c;
  const std::vector<px::FieldDef> one = {{"N", px::FieldType::Long, 0}};
  testing::WriteTable(a.path(), "t.db", one, 0, {{int64_t{1}}});
  testing::WriteTable(b.path(), "T.DB", one, 0, {{int64_t{2}}, {int64_t{3}}});
  testing::WriteTable(c.path(), "t.db",
                      {{"M", px::FieldType::Alpha, 8}, {"N", px::FieldType::Long, 0}}, 0,
                      {{std::string("x"), int64_t{4}}});
  auto sum = [](const TempFolder& folder) {
    TQuery q;
    q.SetDatabaseName(folder.str());
    q.SQL() = {"SELECT SUM(N) AS S FROM \"t.db\" T"};
    q.Open();
    return q.FieldByName("S").AsInteger();
  };
  EXPECT_EQ(sum(a), 1);
  EXPECT_EQ(sum(b), 5);
  EXPECT_EQ(sum(c), 4);  // other fields: declared anew
  std::filesystem::remove(a.path() / "t.db");
  testing::WriteTable(a.path(), "t.db", one, 0, {{int64_t{6}}, {int64_t{7}}});
  EXPECT_EQ(sum(a), 13);
  std::filesystem::remove(b.path() / "T.DB");
  EXPECT_THROW(sum(b), EDBEngineError);
}

TEST(TableFiles, ADamagedTableIsAnEngineErrorNamingIt) {
  testing::TempFolder folder;
  std::vector<std::vector<px::Value>> rows;
  for (int i = 1; i <= 400; ++i)
    rows.push_back({int64_t{i}, std::string("post"), px::Value{}});
  testing::WriteTable(folder.path(), "mPost.db", testing::PostFields(), 1, rows);
  std::filesystem::resize_file(folder.path() / "mPost.db", 5000);
  TQuery q;
  q.SetDatabaseName(folder.str());
  q.SQL() = {"SELECT * FROM \"mPost.db\" Mpost"};
  try {
    q.Open();
    FAIL();
  } catch (const EDBEngineError& e) {
    EXPECT_NE(std::string(e.what()).find("mPost.db"), std::string::npos);
  }
  EXPECT_FALSE(q.Active());
}

}  // namespace
}  // namespace nc16::db
