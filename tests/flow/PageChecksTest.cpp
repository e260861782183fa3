// The rules of the wizard's pages, as every front end applies them.

#include "app/flow/PageChecks.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "document/Texts.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "tests/platform/TempFolder.h"

namespace nc16 {
namespace {

TEST(PageChecks, TableFileNamesAreRefusedInAnyCase) {
  for (const char* name : {"/d/mSyain.DB", "/d/tMNLog.db", "x.px", "/d/mSyain.MB", "a.X02", "a.y0f",
                           "a.XG0", "a.Yg1", "/d/.DB"})
    EXPECT_TRUE(IsTableFileName(name)) << name;
  for (const char* name : {"/d/a.xml", "/d/a.XML.QVE", "a.DBX", "a.D", "a.X0", "a.XGG", "a.X0G",
                           "/d.DB/a.xml", "a", "a.qve"})
    EXPECT_FALSE(IsTableFileName(name)) << name;
}

TEST(PageChecks, TheOfferedNameTakesTheExtensionOfItsForm) {
  struct Case {
    const char* remembered;
    const char* with;     // with individual numbers
    const char* without;  // without
  };
  for (const Case& c : {Case{"/d/out.xml", "/d/out.xml.qve", "/d/out.xml"},
                        Case{"/d/OUT.XML", "/d/OUT.XML.QVE", "/d/OUT.XML"},
                        Case{"/d/out.Xml", "/d/out.Xml", "/d/out.Xml"},
                        Case{"/d/out.xml.qve", "/d/out.xml.qve", "/d/out.xml"},
                        Case{"/d/OUT.Xml.Qve", "/d/OUT.Xml.Qve", "/d/OUT.Xml"},
                        Case{"/d/out.txt", "/d/out.txt", "/d/out.txt"}, Case{"", "", ""}}) {
    EXPECT_EQ(OfferedFileName(c.remembered, true), c.with) << c.remembered;
    EXPECT_EQ(OfferedFileName(c.remembered, false), c.without) << c.remembered;
  }
}

TEST(PageChecks, EachRuleGivesItsWarningInTheOrderOfThePage) {
  EXPECT_EQ(CheckManagementPassword(false, "", "secret"), std::nullopt);
  EXPECT_EQ(CheckManagementPassword(true, "", "secret"), texts::ManagementPasswordMissing());
  EXPECT_EQ(CheckManagementPassword(true, "Secret", "secret"), texts::ManagementPasswordWrong());
  EXPECT_EQ(CheckManagementPassword(true, "secret", "secret"), std::nullopt);
  // A company without a stored password can never be passed with individual numbers.
  EXPECT_EQ(CheckManagementPassword(true, "x", ""), texts::ManagementPasswordWrong());

  // The name as typed must come through in CP932 whole: "?" would name another file.
  EXPECT_EQ(CheckFileNameText("/tmp/データ한😀.xml"), texts::FileNameCharacters());
  EXPECT_EQ(CheckFileNameText("/tmp/データ.xml"), std::nullopt);

  EXPECT_EQ(CheckOutputFileName(""), texts::FileMissing());
  for (const char* blanks : {"   ", "/tmp/", "/tmp/ \x81\x40 "})  // half- and full-width blanks
    EXPECT_EQ(CheckOutputFileName(blanks), texts::FileMissing()) << blanks;
  EXPECT_EQ(CheckOutputFileName("/out.xml"), texts::SystemDriveRoot("/"));
  EXPECT_EQ(CheckOutputFileName("/tmp/mSyain.DB"), texts::TableFileName());
  EXPECT_EQ(CheckOutputFileName("/tmp/out.xml"), std::nullopt);

  EXPECT_EQ(CheckEncryptionPassword(true, ""), texts::EncryptionPasswordMissing());
  EXPECT_EQ(CheckEncryptionPassword(false, ""), std::nullopt);
  EXPECT_EQ(CheckEncryptionPassword(true, "pw"), std::nullopt);
}

// What the export would only meet when it writes, said on the file page's Next.
TEST(PageChecks, ThePlaceOfTheFileIsCheckedBeforeTheExport) {
  nc16::testing::TempFolder dir;
  const std::string root = FromNativePath(dir.Path());
  std::filesystem::create_directory(dir.Path() / "folder.xml");
  nc16::testing::WriteFile(dir.Path() / "old.xml", "old");
  ASSERT_EQ(::mkfifo((dir.Path() / "fifo.xml").c_str(), 0600), 0);
  struct Case {
    std::string target;
    std::optional<std::string> refused;
    bool asked;  // the question before the file is replaced
  };
  const Case cases[] = {
      {root + "/new.xml", std::nullopt, false},
      {root + "/old.xml", std::nullopt, true},
      {root + "/folder.xml", texts::OutputIsAFolder(root + "/folder.xml"), false},
      {root + "/missing/a.xml", texts::OutputFolderMissing(root + "/missing"), false},
      {root + "/fifo.xml", NotReplaceable(dir.Path() / "fifo.xml"), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckOutputTarget(c.target), c.refused) << c.target;
    if (c.refused) continue;  // the question comes only for a place that passed
    EXPECT_EQ(ReplaceQuestion(c.target),
              c.asked ? std::optional(texts::ReplaceQuestion(c.target)) : std::nullopt)
        << c.target;
  }

  // A folder its user may not write: as root, which writes everywhere, seen by another user.
  const auto locked = dir.Path() / "locked";
  std::filesystem::create_directory(locked);
  std::filesystem::permissions(dir.Path(), std::filesystem::perms(0755));
  std::filesystem::permissions(locked, std::filesystem::perms(0555));
  const std::string in_locked = root + "/locked/a.xml";
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
    ::_exit(CheckOutputTarget(in_locked) == texts::OutputFolderNotWritable(root + "/locked") ? 0
                                                                                             : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace nc16
