// TTable: creating tables, appending records, exclusive use against another process.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>

#include "external/db/Db.h"
#include "platform/Cp932.h"
#include "tests/db/PayrollData.h"

namespace nc16::db {
namespace {

using testing::TempFolder;

// The log table of the payroll product, as the My Number log appends to it.
void CreateLog(const std::string& folder) {
  TTable t;
  t.SetDatabaseName(folder);
  t.SetTableName("tMNLog.DB");
  auto def = [&](const char* name, TFieldType type, int size = 0) {
    t.FieldDefs().push_back(TFieldDef{name, type, size, false});
  };
  def("Serial", TFieldType::ftString, 20);
  def("AppKbn", TFieldType::ftInteger);
  def("ProcessName", TFieldType::ftString, 40);
  def("ProcessDate", TFieldType::ftDateTime);
  def("ProcessSub", TFieldType::ftString, 100);
  def("PcName", TFieldType::ftString, 40);
  def("SyainKey", TFieldType::ftInteger);
  t.CreateTable();
}

int Rows(const std::string& database, const std::string& table) {
  TQuery q;
  q.SetDatabaseName(database);
  q.SQL() = {"SELECT * FROM \"" + table + "\""};
  q.Open();
  return q.RecordCount();
}

TEST(Table, EveryCreatableTypeRoundTrips) {
  TempFolder folder;
  TTable t;
  t.SetDatabaseName(folder.str());
  t.SetTableName("types");
  auto def = [&](const char* name, TFieldType type, int size = 0) {
    t.FieldDefs().push_back(TFieldDef{name, type, size, false});
  };
  def("Key", TFieldType::ftInteger);
  def("Name", TFieldType::ftString, 5);
  def("Small", TFieldType::ftSmallint);
  def("Flag", TFieldType::ftBoolean);
  def("Day", TFieldType::ftDate);
  def("Amount", TFieldType::ftCurrency);
  def("Ratio", TFieldType::ftFloat);
  def("Note", TFieldType::ftMemo, 10);
  def("Stamp", TFieldType::ftDateTime);
  t.IndexDefs().push_back(TIndexDef{"", "Key", ixPrimary});
  t.CreateTable();
  EXPECT_THROW(t.CreateTable(), EDBEngineError);  // never replaces a table

  t.Open();
  EXPECT_TRUE(t.FieldByName("Name").IsNull());  // not appending: nothing pending, reads blank
  EXPECT_THROW(t.FieldByName("Name").SetAsString("x"), EDatabaseError);
  const std::string memo(300, 'm');
  t.Append();
  t.FieldByName("Key").SetAsInteger(2);
  t.FieldByName("Name").SetAsString(SJ("あいう"));  // 6 bytes into 5: whole characters only
  t.FieldByName("Small").SetAsInteger(-32767);
  t.FieldByName("Flag").SetAsBoolean(true);
  t.FieldByName("Day").SetAsDateTime(44197.9);
  t.FieldByName("Amount").SetAsCurrency(Currency{-12345678});
  t.FieldByName("Ratio").SetAsFloat(-0.125);
  t.FieldByName("Note").SetAsString(memo);
  t.FieldByName("Stamp").SetAsDateTime(44197.5 + 1.0 / 86400000);
  EXPECT_EQ(t.FieldByName("Amount").AsCurrency().units, -12345678);
  EXPECT_THROW(t.FieldByName("Small").SetAsInteger(40000), EDatabaseError);
  EXPECT_THROW(t.FieldByName("Small").SetAsInteger(-32768), EDatabaseError);  // the blank code
  t.Post();
  t.Append();
  t.FieldByName("Key").SetAsString("1");
  t.FieldByName("Amount").SetAsCurrency(Currency{-5000});
  t.FieldByName("Flag").SetAsBoolean(false);
  t.Post();
  t.Close();

  TQuery q;
  q.SetDatabaseName(folder.str());
  q.SQL() = {"SELECT * FROM TYPES ORDER BY Key"};
  q.Open();
  ASSERT_EQ(q.RecordCount(), 2);
  EXPECT_EQ(q.FieldByName("Amount").AsCurrency().units, -5000);
  EXPECT_EQ(q.FieldByName("Amount").AsInteger(), -1);  // -0.5: halves away from zero
  EXPECT_EQ(q.FieldByName("Amount").AsString(), "-0.5");
  EXPECT_FALSE(q.FieldByName("Flag").AsBoolean());
  EXPECT_FALSE(q.FieldByName("Flag").IsNull());
  EXPECT_TRUE(q.FieldByName("Name").IsNull());
  EXPECT_TRUE(q.FieldByName("Day").IsNull());
  q.Next();
  EXPECT_EQ(q.FieldByName("Name").AsString(), SJ("あい"));
  EXPECT_EQ(q.FieldByName("Small").AsInteger(), -32767);
  EXPECT_EQ(q.FieldByName("Small").DataType(), TFieldType::ftSmallint);
  EXPECT_TRUE(q.FieldByName("Flag").AsBoolean());
  EXPECT_EQ(q.FieldByName("Day").AsDateTime(), 44197);
  EXPECT_EQ(q.FieldByName("Amount").AsCurrency().units, -12345678);
  EXPECT_EQ(q.FieldByName("Amount").DataType(), TFieldType::ftCurrency);
  EXPECT_EQ(q.FieldByName("Ratio").AsFloat(), -0.125);
  EXPECT_EQ(q.FieldByName("Note").AsString(), memo);
  EXPECT_EQ(q.FieldByName("Note").DataType(), TFieldType::ftMemo);
  EXPECT_NEAR(q.FieldByName("Stamp").AsDateTime(), 44197.5 + 1.0 / 86400000, 1e-10);
  EXPECT_EQ(q.FieldByName("Stamp").AsString(), "2021/01/01 12:00:00");
}

TEST(Table, AFailedPostLeavesTheTableAsItWas) {
  TempFolder folder;
  TTable t;
  t.SetDatabaseName(folder.str());
  t.SetTableName("keyed.db");
  t.FieldDefs() = {{"Key", TFieldType::ftInteger, 0, false}, {"V", TFieldType::ftString, 8, false}};
  t.IndexDefs() = {{"PrimaryIndex", "Key", ixPrimary | ixUnique}};
  t.CreateTable();
  t.SetExclusive(true);
  t.Open();
  t.Append();
  t.FieldByName("Key").SetAsInteger(1);
  t.Post();
  t.Append();
  t.FieldByName("Key").SetAsInteger(1);
  t.FieldByName("V").SetAsString("dup");
  EXPECT_THROW(t.Post(), EDBEngineError);
  t.Cancel();
  EXPECT_THROW(t.Post(), EDatabaseError);  // nothing to post after Cancel
  t.Append();
  t.FieldByName("Key").SetAsInteger(2);
  t.Post();
  t.Close();
  EXPECT_EQ(Rows(folder.str(), "keyed"), 2);
}

TEST(Table, MissingTablesFoldersAndFieldsAreNamed) {
  TempFolder folder;
  CreateLog(folder.str());
  TTable t;
  t.SetDatabaseName(folder.str());
  t.SetTableName("tNoSuch.DB");
  try {
    t.Open();
    FAIL();
  } catch (const EDBEngineError& e) {
    EXPECT_NE(std::string(e.what()).find("tNoSuch.DB"), std::string::npos);
  }
  t.SetDatabaseName(folder.str() + "/missing");
  t.SetTableName("tMNLog.DB");
  EXPECT_THROW(t.Open(), EDBEngineError);
  t.SetDatabaseName(folder.str());
  t.Open();
  try {
    t.FieldByName("Nothing");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(std::string(e.what()), SJ("フィールド 'Nothing' が見つかりません。"));
  }
  EXPECT_THROW(t.SetTableName("x"), EDatabaseError);  // not while open

  TTable bad;
  bad.SetDatabaseName(folder.str());
  bad.SetTableName("bad");
  bad.FieldDefs() = {{"A", TFieldType::ftInteger, 0, false},
                     {"B", TFieldType::ftInteger, 0, false}};
  bad.IndexDefs() = {{"PrimaryIndex", "B", ixPrimary}};  // Paradox keys only leading fields
  EXPECT_THROW(bad.CreateTable(), EDatabaseError);
  bad.IndexDefs().clear();
  bad.FieldDefs()[0].DataType = TFieldType::ftUnknown;
  EXPECT_THROW(bad.CreateTable(), EDatabaseError);
}

TEST(Table, TheLogRecordAsTheExportWritesIt) {
  TempFolder folder;
  CreateLog(folder.str());
  TDatabase db;
  db.SetDatabaseName("K2Log");
  db.Params() = {"PATH=" + folder.str(), "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"};
  db.Open();
  for (int i = 0; i < 2; ++i) {
    TTable t;
    t.SetDatabaseName("K2Log");
    t.SetTableName("tMNLog.DB");
    t.SetExclusive(true);
    t.Open();
    t.Append();
    t.FieldByName("Serial").SetAsString("");
    t.FieldByName("AppKbn").SetAsInteger(0);
    t.FieldByName("ProcessName").SetAsString(SJ("ゾルテ"));
    t.FieldByName("ProcessDate").SetAsDateTime(46000.25);
    t.FieldByName("ProcessSub").SetAsString(SJ("個人番号が外部に出力されました。"));
    t.FieldByName("PcName").SetAsString("HOST");
    t.FieldByName("SyainKey").SetAsInteger(0);
    t.Post();
    t.Close();
  }
  TQuery q;
  q.SetDatabaseName("K2Log");
  q.SQL() = {"SELECT * FROM \"tMNLog.DB\""};
  q.Open();
  EXPECT_EQ(q.RecordCount(), 2);
  EXPECT_TRUE(q.FieldByName("Serial").IsNull());
  EXPECT_EQ(q.FieldByName("ProcessSub").AsString(), SJ("個人番号が外部に出力されました。"));
  EXPECT_EQ(q.FieldByName("ProcessDate").AsDateTime(), 46000.25);
  EXPECT_EQ(q.FieldByName("SyainKey").AsInteger(), 0);
  EXPECT_FALSE(q.FieldByName("SyainKey").IsNull());
}

// A second process holds the table open for exclusive use until told to let go.
TEST(Table, ExclusiveOpenFailsWhileAnotherProcessHasTheTable) {
  TempFolder folder;
  CreateLog(folder.str());
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int status = 0;
    try {
      TTable t;
      t.SetDatabaseName(folder.str());
      t.SetTableName("tmnlog");
      t.SetExclusive(true);
      t.Open();
      char c = 'r';
      if (write(ready[1], &c, 1) != 1) status = 2;
      if (read(release[0], &c, 1) != 1) status = 3;
    } catch (...) {
      status = 1;
    }
    _exit(status);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);

  TTable t;
  t.SetDatabaseName(folder.str());
  t.SetTableName("tMNLog.DB");
  t.SetExclusive(true);
  try {
    t.Open();
    ADD_FAILURE() << "opened a table another process holds";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(std::string(e.what()),
              SJ("テーブル 'tMNLog.DB' を開けません: 他のプロセスが使用中です。"));
  }
  EXPECT_FALSE(t.Active());
  EXPECT_THROW(Rows(folder.str(), "tMNLog.DB"), EDBEngineError);  // readers are refused too

  ASSERT_EQ(write(release[1], "x", 1), 1);
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  t.Open();
  EXPECT_TRUE(t.Active());
  for (int fd : {ready[0], ready[1], release[0], release[1]})
    close(fd);
}

}  // namespace
}  // namespace nc16::db
