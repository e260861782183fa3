// Tables our writer creates and appends to, read back by our reader: values, key order, blobs,
// the exclusive lock between processes, and a failure injected after every write step.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "external/paradox/ParadoxTable.h"
#include "external/paradox/ParadoxWriter.h"
#include "platform/Cp932.h"
#include "tests/paradox/TestDir.h"

namespace nc16::px {
namespace {

using test::TestDir;

TableDef PayrollLikeDef(int keys) {
  TableDef def;
  def.fields = {{"SyainKey", FieldType::Long, 0},   {"Name", FieldType::Alpha, 20},
                {"Kubun", FieldType::Short, 0},     {"Birth", FieldType::Date, 0},
                {"Pay", FieldType::Money, 0},       {"Rate", FieldType::Number, 0},
                {"MNUse", FieldType::Logical, 0},   {"Note", FieldType::Memo, 5},
                {"Stamp", FieldType::Timestamp, 0}, {"Serial", FieldType::AutoInc, 0}};
  def.key_field_count = keys;
  return def;
}

std::vector<Value> Row(int64_t key, const std::string& name) {
  return {key,
          name,
          int64_t{-3},
          Date{kDaysTo18991230 + 45000},
          1234.5,
          -0.25,
          true,
          std::string("memo ") + name,
          Timestamp{63'800'000'000'000.0}};
}

TEST(WriterTest, CreatedTableIsEmptyParadox7WithCodePage932) {
  TestDir dir;
  CreateTable(dir / "mTest.DB", PayrollLikeDef(1));
  Table t(dir / "mTest.DB");
  EXPECT_EQ(t.header().version, 70);
  EXPECT_EQ(t.header().code_page, 932);
  EXPECT_EQ(t.header().key_field_count, 1);
  EXPECT_EQ(t.RecordCount(), 0u);
  ASSERT_EQ(t.fields().size(), 10u);
  EXPECT_EQ(t.fields()[1].name, "Name");
  EXPECT_EQ(t.fields()[1].size, 20);
  EXPECT_TRUE(std::filesystem::exists(dir / "mTest.MB"));
  EXPECT_TRUE(std::filesystem::exists(dir / "mTest.PX"));
  EXPECT_THROW(CreateTable(dir / "mTest.DB", PayrollLikeDef(1)), ParadoxError);
}

TEST(WriterTest, RejectsInvalidDefinitions) {
  TestDir dir;
  TableDef def;
  EXPECT_THROW(CreateTable(dir / "a.DB", def), ParadoxError);  // no fields
  def.fields = {{"A", FieldType::Alpha, 0}};
  EXPECT_THROW(CreateTable(dir / "a.DB", def), ParadoxError);  // alpha of size 0
  def.fields = {{"A", FieldType::Long, 0}, {"A", FieldType::Long, 0}};
  EXPECT_THROW(CreateTable(dir / "a.DB", def), ParadoxError);  // duplicate name
  def.fields = {{"M", FieldType::Memo, 10}};
  def.key_field_count = 1;
  EXPECT_THROW(CreateTable(dir / "a.DB", def), ParadoxError);  // blob key
  EXPECT_FALSE(std::filesystem::exists(dir / "a.DB"));
}

TEST(WriterTest, AppendedValuesReadBackExactly) {
  TestDir dir;
  CreateTable(dir / "t.DB", PayrollLikeDef(0));
  const std::string kanji = SJ("山田　太郎");
  const std::string long_memo(5000, 'x');
  {
    TableWriter w(dir / "t.DB");
    w.Append(Row(7, kanji));
    auto row = Row(8, "b");
    row[7] = long_memo;
    w.Append(row);
    w.Append({int64_t{9}});  // the rest blank, the auto-increment numbered
  }
  Table t(dir / "t.DB");
  ASSERT_EQ(t.RecordCount(), 3u);
  auto rows = t.ReadAll();
  EXPECT_EQ(rows[0][0], Value(int64_t{7}));
  EXPECT_EQ(rows[0][1], Value(kanji));
  EXPECT_EQ(rows[0][2], Value(int64_t{-3}));
  EXPECT_EQ(rows[0][3], Value(Date{kDaysTo18991230 + 45000}));
  EXPECT_EQ(rows[0][4], Value(1234.5));
  EXPECT_EQ(rows[0][5], Value(-0.25));
  EXPECT_EQ(rows[0][6], Value(true));
  EXPECT_EQ(rows[0][7], Value(std::string("memo ") + kanji));
  EXPECT_EQ(rows[0][8], Value(Timestamp{63'800'000'000'000.0}));
  EXPECT_EQ(rows[0][9], Value(int64_t{1}));
  EXPECT_EQ(rows[1][7], Value(long_memo));
  EXPECT_EQ(rows[1][9], Value(int64_t{2}));
  for (int i = 1; i < 9; ++i)
    EXPECT_EQ(rows[2][i], Value{}) << i;
  EXPECT_EQ(rows[2][9], Value(int64_t{3}));
  EXPECT_EQ(t.header().auto_inc, 3u);
}

TEST(WriterTest, KeyedTableStaysInKeyOrderAcrossManyBlocks) {
  TestDir dir;
  TableDef def;
  def.fields = {{"Key", FieldType::Long, 0}, {"Pad", FieldType::Alpha, 200}};
  def.key_field_count = 1;
  def.block_size = 1024;
  CreateTable(dir / "k.DB", def);
  {
    TableWriter w(dir / "k.DB");
    // A scattered order; 1 KiB blocks hold 4 records, so the chain grows and is rebuilt often.
    for (int i = 0; i < 60; ++i)
      w.Append({int64_t{(i * 37) % 61 - 30}, std::string("r")});
    EXPECT_THROW(w.Append({int64_t{0}}), ParadoxError);  // duplicate key
    EXPECT_EQ(w.RecordCount(), 60u);
  }
  Table t(dir / "k.DB");
  ASSERT_EQ(t.RecordCount(), 60u);
  int64_t last = INT64_MIN;
  t.ForEach([&](const Record& r) {
    EXPECT_LT(last, r.GetInteger(0));
    last = r.GetInteger(0);
  });
  // The file does not grow without bound: old chains are reused through the free list.
  EXPECT_LE(std::filesystem::file_size(dir / "k.DB"), 2048u + 2 * 16 * 1024u);
}

TEST(WriterTest, SecondWriterInAnotherProcessIsRefused) {
  TestDir dir;
  CreateTable(dir / "lock.DB", PayrollLikeDef(0));
  TableWriter w(dir / "lock.DB");
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int code = 3;
    try {
      TableWriter other(dir / "lock.DB");
      code = 0;
    } catch (const TableLockedError&) {
      code = 1;
    } catch (...) {
      code = 2;
    }
    _exit(code);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  // Readers in this process are refused too while the writer holds the table.
  EXPECT_THROW(Table t(dir / "lock.DB"), TableLockedError);
}

TEST(WriterTest, LockIsReleasedWithTheWriter) {
  TestDir dir;
  CreateTable(dir / "l.DB", PayrollLikeDef(0));
  { TableWriter w(dir / "l.DB"); }
  EXPECT_NO_THROW(TableWriter w2(dir / "l.DB"));
}

// After a failure at any step the table reads either without or with the new record, and a
// later append works.
class FailureInjectionTest : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(FailureInjectionTest, TableStaysReadable) {
  const auto [step, keys] = GetParam();
  TestDir dir;
  TableDef def = PayrollLikeDef(keys);
  def.block_size = 1024;
  CreateTable(dir / "f.DB", def);
  {
    TableWriter w(dir / "f.DB");
    for (int i = 0; i < 9; ++i)
      w.Append(Row(i * 10, "r" + std::to_string(i)));
  }
  size_t after = 0;
  {
    TableWriter w(dir / "f.DB");
    w.FailAfterStepForTesting(step);
    auto row = Row(45, "new");
    row[7] = std::string(3000, 'm');  // goes to the .MB file
    if (step == 5 && keys == 0) {
      w.Append(row);  // no index to write: no step 5
    } else {
      EXPECT_THROW(w.Append(row), std::runtime_error);
    }
    after = w.RecordCount();
    EXPECT_EQ(after, step >= 3 ? 10u : 9u);
    w.FailAfterStepForTesting(0);
    w.Append(Row(99, "later"));
  }
  Table t(dir / "f.DB");
  ASSERT_EQ(t.RecordCount(), after + 1);
  auto rows = t.ReadAll();
  bool found_new = false;
  for (auto& r : rows)
    if (r[0] == Value(int64_t{45})) {
      found_new = true;
      EXPECT_EQ(r[7], Value(std::string(3000, 'm')));
    }
  EXPECT_EQ(found_new, step >= 3);
  if (keys) {
    for (size_t i = 1; i < rows.size(); ++i)
      EXPECT_LT(std::get<int64_t>(rows[i - 1][0]), std::get<int64_t>(rows[i][0]));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryStep, FailureInjectionTest,
                         ::testing::Combine(::testing::Range(1, 6), ::testing::Values(0, 1)));

}  // namespace
}  // namespace nc16::px

namespace nc16::px {
namespace {

TEST(WriterTest, AppendManyCommitsAllOrNothing) {
  test::TestDir dir;
  TableDef def;
  def.fields = {{"Key", FieldType::Long, 0}, {"Memo", FieldType::Memo, 1}};
  def.key_field_count = 1;
  CreateTable(dir / "m.DB", def);
  TableWriter w(dir / "m.DB");
  std::vector<std::vector<Value>> rows;
  for (int i = 200; i >= 1; --i)
    rows.push_back({int64_t{i}, std::string(i, 'z')});
  w.AppendMany(rows);
  EXPECT_THROW(w.AppendMany({{int64_t{500}}, {int64_t{7}}}), ParadoxError);  // 7 exists
  EXPECT_THROW(w.AppendMany({{int64_t{600}}, {int64_t{600}}}), ParadoxError);
  ASSERT_EQ(w.RecordCount(), 200u);
  Table t("m.DB", test::ReadFile(dir / "m.DB"), test::ReadFile(dir / "m.MB"));
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(t.At(i).Get(0), Value(int64_t{i + 1}));
    EXPECT_EQ(t.At(i).Get(1), Value(std::string(i + 1, 'z')));
  }
}

}  // namespace
}  // namespace nc16::px

namespace nc16::px {
namespace {

TEST(WriterTest, FieldNamesInCp932AreFoundByName) {
  test::TestDir dir;
  TableDef def;
  // "ア" is 0x83 0x41 and "ヂ" 0x83 0x61: second bytes that look like letters are not folded.
  def.fields = {{SJ("ソア"), FieldType::Long, 0},
                {SJ("ソa"), FieldType::Long, 0},
                {"KaisyaMei", FieldType::Alpha, 40}};
  CreateTable(dir / SJ("会社.DB"), def);
  Table t(dir / SJ("会社.DB"));
  EXPECT_EQ(t.FieldIndex(SJ("ソア")), 0);
  EXPECT_EQ(t.FieldIndex(SJ("ソa")), 1);
  EXPECT_EQ(t.FieldIndex("kaisyamei"), 2);
  EXPECT_EQ(t.FieldIndex(SJ("ソA")), 1);    // a real letter after a whole character folds
  EXPECT_EQ(t.FieldIndex(SJ("ソヂ")), -1);  // 0x83 0x61: the trail byte of "ア" in lower case
}

}  // namespace
}  // namespace nc16::px

namespace nc16::px {
namespace {

TEST(WriterTest, MissingBlobFileIsCreatedWhenAMemoNeedsIt) {
  test::TestDir dir;
  TableDef def;
  def.fields = {{"Memo", FieldType::Memo, 10}};
  CreateTable(dir / "n.DB", def);
  std::filesystem::remove(dir / "n.MB");
  {
    TableWriter w(dir / "n.DB");
    w.Append({std::string("short")});  // fits the leader: no .MB needed
    EXPECT_FALSE(std::filesystem::exists(dir / "n.MB"));
    w.Append({std::string(100, 'L')});
  }
  Table t(dir / "n.DB");
  EXPECT_EQ(t.At(0).Get(0), Value(std::string("short")));
  EXPECT_EQ(t.At(1).Get(0), Value(std::string(100, 'L')));
}

// A table copied from Windows may carry its companions in another case: they are used where they
// are, and two that differ only in case are refused rather than one picked.
TEST(WriterTest, CompanionsAreFoundInAnyCaseButNeverPickedAmongTwo) {
  TestDir dir;
  TableDef def;
  def.fields = {{"Key", FieldType::Long, 0}, {"Memo", FieldType::Memo, 5}};
  def.key_field_count = 1;
  CreateTable(dir / "t.DB", def);
  std::filesystem::rename(dir / "t.MB", dir / "T.mb");
  std::filesystem::rename(dir / "t.PX", dir / "T.px");
  TableWriter(dir / "t.DB").Append({int64_t{1}, std::string(40, 'm')});
  EXPECT_FALSE(std::filesystem::exists(dir / "t.MB"));
  EXPECT_FALSE(std::filesystem::exists(dir / "t.PX"));
  EXPECT_EQ(Table(dir / "t.DB").At(0).Get(1), Value(std::string(40, 'm')));

  std::filesystem::copy_file(dir / "T.mb", dir / "t.Mb");
  EXPECT_THROW(Table(dir / "t.DB").At(0).Get(1), ParadoxError);
}

}  // namespace
}  // namespace nc16::px
