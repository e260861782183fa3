// Names in any letter case: how a path made by the program meets a folder copied from Windows,
// and the profile files that are written back under the name they were found with.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/platform/TempFolder.h"

namespace nc16::platform {
namespace {

using nc16::testing::FolderEntries;
using nc16::testing::ReadFile;
using nc16::testing::TempFolder;
using nc16::testing::WriteFile;

TEST(ResolvePathCase, EachComponentAsWrittenElseItsOneVariant) {
  TempFolder dir;
  const std::string root = dir.Path().string();
  WriteFile(dir.Path() / "VANTREL/MILVEKKYUYO/DB/DAT001/MKAISYA.DB", "x");
  WriteFile(dir.Path() / "VANTREL/MILVEKKYUYO/db/mDataList.db", "x");
  WriteFile(dir.Path() / "VANTREL/データ/Version.ini", "x");
  struct Case {
    std::string path, resolved;
  } cases[] = {
      {"/VANTREL/MILVEKKYUYO/DB/DAT001/MKAISYA.DB", "/VANTREL/MILVEKKYUYO/DB/DAT001/MKAISYA.DB"},
      {"/vantrel/MILVEKKYUYO/DB/DAT001/mKaisya.db", "/VANTREL/MILVEKKYUYO/DB/DAT001/MKAISYA.DB"},
      // "db" and "DB" both exist: the name as written wins, no listing decides.
      {"/vantrel/milvekkyuyo/db/mdatalist.DB", "/VANTREL/MILVEKKYUYO/db/mDataList.db"},
      {"/vantrel/milvekkyuyo/DB/dat001", "/VANTREL/MILVEKKYUYO/DB/DAT001"},
      // From the first name found in no case on, the rest is kept: a file still to be made.
      {"/vantrel/MILVEKKYUYO/DB/DAT002/mKaisya.db", "/VANTREL/MILVEKKYUYO/DB/DAT002/mKaisya.db"},
      {"/Vantrel/データ/VERSION.INI", "/VANTREL/データ/Version.ini"},
      {"/vantrel//./MILVEKKYUYO/DB/", "/VANTREL//./MILVEKKYUYO/DB/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cp932ToUtf8(ResolvePathCase(Utf8ToCp932(root + c.path))), root + c.resolved)
        << c.path;
  }
  EXPECT_EQ(ResolvePathCase(""), "");
}

TEST(ResolvePathCase, TwoVariantsAreAnErrorNamingBoth) {
  TempFolder dir;
  WriteFile(dir.Path() / "DB/MKAISYA.DB", "x");
  WriteFile(dir.Path() / "DB/mkaisya.db", "x");
  const std::string root = dir.Path().string();
  try {
    ResolvePathCase(Utf8ToCp932(root + "/db/mKaisya.db"));
    FAIL() << "no error";
  } catch (const EOSError& e) {
    const std::string message = Cp932ToUtf8(e.what());
    EXPECT_NE(message.find(root + "/DB/MKAISYA.DB"), std::string::npos) << message;
    EXPECT_NE(message.find(root + "/DB/mkaisya.db"), std::string::npos) << message;
  }
  // The name as written is no ambiguity.
  EXPECT_EQ(ResolvePathCase(Utf8ToCp932(root + "/DB/mkaisya.db")), root + "/DB/mkaisya.db");
}

// A folder's listing is kept for the next name looked for in it, but never once the folder has
// changed: an entry added, removed or renamed since is seen.
TEST(ResolvePathCase, AFolderChangedSinceItWasListedIsListedAgain) {
  TempFolder dir;
  const std::filesystem::path db = dir.Path() / "DB";
  WriteFile(db / "MKAISYA.DB", "x");
  const auto settle = [&] {  // the folder as the payroll product left it, long ago
    const auto then = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    std::filesystem::last_write_time(db, then);
  };
  const auto resolve = [&](const char* name) {
    return Cp932ToUtf8(ResolvePathCase(Utf8ToCp932((db / name).string())));
  };
  settle();
  EXPECT_EQ(resolve("mkaisya.db"), (db / "MKAISYA.DB").string());
  WriteFile(db / "MSYAIN.DB", "x");
  EXPECT_EQ(resolve("msyain.db"), (db / "MSYAIN.DB").string());
  settle();
  EXPECT_EQ(resolve("mkaisya.db"), (db / "MKAISYA.DB").string());
  std::filesystem::rename(db / "MKAISYA.DB", db / "Mkaisya.DB");
  EXPECT_EQ(resolve("mkaisya.db"), (db / "Mkaisya.DB").string());
}

// One listing answers for many names exactly as ResolvePathCase would, or leaves the name to it.
TEST(FolderNames, AnswerAsResolvePathCaseOrNotAtAll) {
  TempFolder dir;
  const std::filesystem::path db = dir.Path() / "DB";
  WriteFile(db / "MKAISYA.DB", "x");
  WriteFile(db / "mSyain.db", "x");
  WriteFile(db / "TFAMILY.DB", "x");
  WriteFile(db / "tfamily.db", "x");
  std::filesystem::create_directory(db / "MPOST.DB");
  std::filesystem::create_symlink(db / "MKAISYA.DB", db / "MBUMON.DB");
  const std::string folder = Utf8ToCp932(db.string());
  const FolderNames names(folder);
  const struct {
    const char* name;
    const char* answer;  // nullptr: left to ResolvePathCase
  } cases[] = {
      {"mSyain.db", "mSyain.db"},   {"msyain.DB", "mSyain.db"}, {"mKaisya.db", "MKAISYA.DB"},
      {"tfamily.db", "tfamily.db"}, {"tFamily.db", nullptr},    {"mPost.db", nullptr},
      {"mBumon.db", nullptr},       {"mGengo.db", nullptr},     {"sub/mSyain.db", nullptr},
  };
  for (const auto& c : cases) {
    const auto answer = names.RegularFile(c.name);
    ASSERT_EQ(answer.has_value(), c.answer != nullptr) << c.name;
    if (!answer) continue;
    EXPECT_EQ(Cp932ToUtf8(*answer), (db / c.answer).string()) << c.name;
    EXPECT_EQ(*answer, ResolvePathCase(folder + "/" + c.name)) << c.name;
  }
  EXPECT_FALSE(FolderNames(folder + "/missing").RegularFile("mSyain.db"));
}

TEST(ProfileFiles, FoundInAnyCaseAndWrittenBackUnderThatName) {
  TempFolder dir;
  WriteFile(dir.Path() / "DATASELECT.INI", "[NENCHO]\r\nDATA=C:\\x\r\n");
  const std::string file = Utf8ToCp932(dir.Path().string() + "/DataSelect.ini");
  EXPECT_EQ(ReadProfileString(file, "NENCHO", "DATA", ""), "C:\\x");
  WriteProfileString(file, "NENCHO", "KOMONSAKI", "A");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"DATASELECT.INI"});
  EXPECT_EQ(ReadProfileString(file, "NENCHO", "KOMONSAKI", ""), "A");
  EXPECT_NE(ReadFile(dir.Path() / "DATASELECT.INI").find("DATA=C:\\x"), std::string::npos);
  // A new file gets the program's spelling.
  WriteProfileString(Utf8ToCp932(dir.Path().string() + "/Other.ini"), "S", "K", "V");
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"DATASELECT.INI", "Other.ini"}));
}

}  // namespace
}  // namespace nc16::platform
