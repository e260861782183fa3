// nc16 pxdump --sql: a query's result in the dump format of a table.

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "platform/Cp932.h"
#include "tests/db/PayrollData.h"
#include "tools/nc16/CmdPxdumpSql.h"

namespace nc16::cli {
namespace {

// Runs the command with std::cout captured.
std::pair<int, std::string> Dump(const std::string& folder, const std::string& sql) {
  std::ostringstream out;
  auto* old = std::cout.rdbuf(out.rdbuf());
  const int rc = RunPxdumpSql(folder, sql);
  std::cout.rdbuf(old);
  return {rc, out.str()};
}

TEST(PxdumpSql, PrintsNamesThenOneLinePerRowInTheTableDumpForm) {
  db::testing::TempFolder folder;
  db::testing::WriteTable(
      folder.path(), "tKyuyo.db",
      {{"Syain", px::FieldType::Long, 0},
       {"Name", px::FieldType::Alpha, 20},
       {"Pay", px::FieldType::Money, 0},
       {"Day", px::FieldType::Date, 0},
       {"Flag", px::FieldType::Logical, 0}},
      1,
      {{int64_t{2}, SJ("給与\t太郎"), -1234.5, px::Date{px::kDaysTo18991230 + 44197}, true},
       {int64_t{1}, px::Value{}, 0.25, px::Value{}, false}});
  const auto [rc, text] = Dump(folder.str(),
                               "SELECT k.Syain, k.Name, k.Pay, k.Day, k.Flag FROM \"TKYUYO\" k "
                               "ORDER BY k.Pay DESC");
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(text,
            "Syain\tName\tPay\tDay\tFlag\n"
            "1\t\\N\t0.25\t\\N\tfalse\n"
            "2\t給与\\t太郎\t-1234.5\t2021-01-01\ttrue\n");
}

TEST(PxdumpSql, ADatabaseErrorGivesStatusOne) {
  db::testing::TempFolder folder;
  EXPECT_EQ(Dump(folder.str(), "SELECT * FROM \"nothing\"").first, 1);
  EXPECT_EQ(Dump(folder.str() + "/missing", "SELECT 1").first, 1);
}

TEST(PxdumpSql, OneStatementOnly) {
  db::testing::TempFolder folder;
  EXPECT_EQ(Dump(folder.str(), "SELECT 1 AS a ; ;\n\t").second, "a\n1\n");
  // Text after the first statement was silently ignored.
  for (const char* sql : {"SELECT 1; SELECT 2", "SELECT 1; x", "SELECT 1;-- note"})
    EXPECT_EQ(Dump(folder.str(), sql), std::make_pair(1, std::string())) << sql;
}

}  // namespace
}  // namespace nc16::cli
