// An installation copied from Windows: Holders in the Windows form mapped to the local folders,
// the list, the start-up checks and the data-set check on names in upper case, and names that
// differ only in case refused with both named.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/flow/DataList.h"
#include "app/flow/HolderFolder.h"
#include "app/flow/Startup.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/flow/DataListFixture.h"
#include "tests/platform/TempFolder.h"
#include "tools/demo/DemoCommonData.h"
#include "tools/demo/DemoInstallation.h"

namespace nc16::test {
namespace {

using nc16::testing::FolderEntries;
using nc16::testing::Native;
using nc16::testing::TempFolder;

// Windows opens a Holder as it is written: no mapping, and no file system that tells letter
// cases apart.
constexpr bool kWindows = platform::kPathSeparator == "\\";

// True when `folder` holds an entry of exactly this name (not merely one in another case).
bool Holds(const std::filesystem::path& folder, const std::string& name) {
  const auto names = FolderEntries(folder);
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(LocalHolderFolder, WindowsPathsMapUnderTheCommonFolder) {
  TempFolder dir;
  std::filesystem::create_directories(dir.Path() / "VANTREL/MILVEKKYUYO/DB/DAT001");
  const std::string common = Native(dir.Path().string() + "/vantrel/MILVEKKYUYO");
  const std::string mapped = Native(common + "/DB/DAT001");
  struct Case {
    std::string holder, folder;
  } cases[] = {
      {"C:\\ProgramData\\VANTREL\\MILVEKKYUYO\\DB\\DAT001", mapped},
      {"d:\\Data\\milvekkyuyo\\db\\dat001\\", mapped},
      {"\\\\server\\share\\MilvekKyuyo\\DB\\DAT001", mapped},
      {"C:\\MILVEKKYUYO\\old\\MILVEKKYUYO\\DB\\DAT001", mapped},  // the last one counts
      {"C:\\ソフト\\MILVEKKYUYO\\DB\\DAT001", mapped},            // ソ ends in the byte of "\"
      {"C:\\ProgramData\\VANTREL\\MILVEKKYUYO", common},
      // Kept as written: no folder here, no common folder in it, a way out of it, not Windows.
      {"C:\\ProgramData\\VANTREL\\MILVEKKYUYO\\DB\\DAT002", ""},
      {"C:\\ProgramData\\VANTREL\\OTHER\\DB\\DAT001", ""},
      {"C:\\ProgramData\\VANTREL\\MILVEKKYUYO\\DB\\..\\DB\\DAT001", ""},
      {common + "/db/dat001", ""},
      {"DB\\DAT001", ""},
      // A zero byte ends the path where the system reads it: this one would be "MILVEKKYUYO/..".
      {std::string("C:\\MILVEKKYUYO\\..\0X", 19), ""},
  };
  for (const Case& c : cases) {
    const std::string holder = Utf8ToCp932(c.holder);
    const std::string want = c.folder.empty() || kWindows ? holder : Utf8ToCp932(c.folder);
    EXPECT_EQ(LocalHolderFolder(holder, Utf8ToCp932(common)), want) << c.holder;
  }
}

class WindowsCopy : public DataListFixture {
 protected:
  WindowsCopy() : DataListFixture(true) {}
};

TEST_F(WindowsCopy, StartsListsAndChecksAsTheOrdinaryInstallation) {
  ASSERT_TRUE(std::filesystem::exists(Common() / "DB" / "MDATALIST.DB"));
  EXPECT_FALSE(Holds(Common(), "db"));
  EXPECT_EQ(CheckInstallation(*info_), std::nullopt);
  EXPECT_EQ(info_->SourceVersion, "701002");

  const auto rows = Load();
  ASSERT_EQ(rows.size(), 200u);
  EXPECT_EQ(rows[0].Holder, demo::WindowsHolder(1));
  // On Windows the Holder names the product's folder under C:\ProgramData, not this copy: the
  // copy's own folder, in the product's upper case, stands in for it in the check.
  std::string first = rows[0].Holder;
  if (kWindows) {
    EXPECT_EQ(rows[0].Folder, rows[0].Holder);
    EXPECT_EQ(rows[0].ShownPath, rows[0].Holder);
    first = inst_.data_sets[0].folder;
  } else {
    EXPECT_EQ(rows[0].Folder, info_->CommonDataDir + "/DB/DAT001");
    EXPECT_EQ(rows[0].ShownPath, "~/DB/DAT001");
  }
  EXPECT_EQ(rows[0].Name, inst_.data_sets[0].company);
  EXPECT_EQ(rows[5].ShownPath, demo::WindowsHolder(6));  // no such folder here
  EXPECT_TRUE(shown_.empty());

  ASSERT_TRUE(check_->CheckSelectedData(first, shown_));
  EXPECT_EQ(info_->DataKey, first);
  EXPECT_EQ(info_->DataFolder, kWindows ? first : rows[0].Folder);
  EXPECT_EQ(info_->CompanyName, inst_.data_sets[0].company);
  EXPECT_TRUE(check_->MyNumberInUse);
  EXPECT_EQ(check_->MyNumberPassword, inst_.my_number_password);

  EXPECT_FALSE(check_->CheckSelectedData(rows[5].Holder, shown_));
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(Shown()[0].second,
            "このﾃﾞｰﾀﾌｫﾙﾀﾞには給与ﾃﾞｰﾀがありません。\rもう一度、選び直してください。\r");
  EXPECT_EQ(info_->DataKey, rows[5].Holder);
}

TEST_F(WindowsCopy, AMissingListIsMadeInTheOneDbFolder) {
  std::filesystem::remove(Common() / "DB" / "MDATALIST.DB");
  std::filesystem::remove(Common() / "DB" / "MDATALIST.PX");
  const auto rows = Load();
  ASSERT_EQ(rows.size(), 200u);
  EXPECT_EQ(rows[0].ShownPath, Native("~/DB/DAT001"));
  EXPECT_TRUE(std::filesystem::exists(Common() / "DB" / "mDataList.db"));
  EXPECT_FALSE(Holds(Common(), "db"));
  EXPECT_TRUE(shown_.empty());
}

#ifndef _WIN32  // a Windows folder cannot hold two names that differ only in case
TEST_F(WindowsCopy, NamesThatDifferOnlyInCaseAreRefusedNamingBoth) {
  const auto dat = Common() / "DB" / "DAT001";
  std::filesystem::copy_file(dat / "MKAISYA.DB", dat / "mkaisya.db");
  EXPECT_FALSE(check_->CheckSelectedData(demo::WindowsHolder(1), shown_));
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(Shown()[0].first, MessageKind::kError);
  EXPECT_NE(Shown()[0].second.find((dat / "MKAISYA.DB").string()), std::string::npos);
  EXPECT_NE(Shown()[0].second.find((dat / "mkaisya.db").string()), std::string::npos);

  // The product's own folder twice, neither spelled as the program does: start-up stops naming
  // both.
  std::filesystem::create_directories(NativePath(inst_.data_root) / "initdat");
  TDataExportInfo info("", "", 0, Remembering::kNothing);
  const std::string stop = Cp932ToUtf8(CheckInstallation(info).value_or(""));
  EXPECT_NE(stop.find("INITDAT"), std::string::npos) << stop;
  EXPECT_TRUE(stop.ends_with("\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。")) << stop;
}
#endif

}  // namespace
}  // namespace nc16::test
