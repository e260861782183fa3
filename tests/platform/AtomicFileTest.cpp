#include "platform/AtomicFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/platform/TempFolder.h"

namespace nc16 {
namespace {

using nc16::testing::FolderEntries;
using nc16::testing::ReadFile;
using nc16::testing::TempFolder;
using nc16::testing::WriteFile;

mode_t ModeOf(const std::filesystem::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(AtomicFile, AnAbandonedWriteLeavesTheOldFileAndNoTemporary) {
  TempFolder dir;
  std::filesystem::path target = dir.Path() / "out.xml";
  WriteFile(target, "old");
  {
    AtomicFile file(target);
    file.Write("half of the new");
    EXPECT_TRUE(std::filesystem::exists(file.TempPath()));
  }
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"out.xml"});
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissions) {
  TempFolder dir;
  std::filesystem::path target = dir.Path() / "DataSelect.ini";
  WriteFile(target, "old");
  ::chmod(target.c_str(), 0640);
  WriteFileAtomic(target, "new");
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(ModeOf(target), 0640u);
}

TEST(AtomicFile, OwnerOnlyFilesArePrivateFromTheStart) {
  TempFolder dir;
  std::filesystem::path target = dir.Path() / "secret.qve";
  WriteFile(target, "old");
  ::chmod(target.c_str(), 0644);
  AtomicFile file(target, FileAccess::kOwnerOnly);
  EXPECT_EQ(ModeOf(file.TempPath()), 0600u);
  file.Write("new");
  file.Commit();
  EXPECT_EQ(ModeOf(target), 0600u);
  EXPECT_EQ(ReadFile(target), "new");
}

TEST(AtomicFile, AMissingFolderIsAnErrorNamingTheFile) {
  TempFolder dir;
  std::filesystem::path target = dir.Path() / "missing" / "out.xml";
  try {
    WriteFileAtomic(target, "x");
    FAIL() << "no error";
  } catch (const EOSError& e) {
    EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace nc16
