#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "document/ArgUtils.h"
#include "platform/Cp932.h"
#include "platform/FileErrors.h"
#include "platform/Platform.h"
#include "tests/platform/TempFolder.h"

namespace nc16 {
namespace {

using nc16::testing::ScopedEnv;
using nc16::testing::TempFolder;

TEST(EnvQueries, TheSystemDriveOfPosixIsTheRoot) {
  EXPECT_EQ(GetWindowsDrive(), "/");
  EXPECT_GE(platform::WindowsMajorVersion(), 6);
}

TEST(EnvQueries, OnlyFilesDirectlyInTheRootAreInTheSystemDriveRoot) {
  EXPECT_TRUE(IsSystemDriveRoot("/out.xml"));
  EXPECT_TRUE(IsSystemDriveRoot("/OUT.XML.qve"));
  EXPECT_TRUE(IsSystemDriveRoot(Utf8ToCp932("/中間ﾌｧｲﾙ.xml")));
  EXPECT_FALSE(IsSystemDriveRoot("/tmp/out.xml"));
  EXPECT_FALSE(IsSystemDriveRoot("out.xml"));
  EXPECT_FALSE(IsSystemDriveRoot("sub/out.xml"));
  EXPECT_FALSE(IsSystemDriveRoot(""));
  // A drive text of Windows names no folder here.
  EXPECT_FALSE(IsSystemDriveRoot("C:\\out.xml"));
}

TEST(EnvQueries, ThePcNameIsTheHostName) {
  char host[256] = {};
  ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
  EXPECT_EQ(GetPcName(), Utf8ToCp932(host));
  EXPECT_LE(GetPcName().size(), 200u);
}

TEST(Folders, CommonAppDataComesFromTheEnvironment) {
  {
    ScopedEnv unset("NC16_COMMON_APPDATA", std::nullopt);
    EXPECT_EQ(platform::CommonAppDataFolder(), "/var/lib");
  }
  {
    ScopedEnv set("NC16_COMMON_APPDATA", "/srv/common/");
    EXPECT_EQ(platform::CommonAppDataFolder(), "/srv/common");
  }
  ScopedEnv empty("NC16_COMMON_APPDATA", "");
  EXPECT_FALSE(platform::CommonAppDataFolder().has_value());
}

TEST(Folders, DocumentsFolderFollowsTheUserDirsAndIsNeverCreated) {
  TempFolder home;
  ScopedEnv h("HOME", home.Path().string());
  ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(platform::DocumentsFolder(), "");
  EXPECT_FALSE(std::filesystem::exists(home.Path() / "Documents"));

  std::filesystem::create_directory(home.Path() / "Documents");
  EXPECT_EQ(platform::DocumentsFolder(), home / "Documents");

  std::filesystem::create_directories(home.Path() / ".config");
  std::filesystem::create_directories(home.Path() / "Docs");
  nc16::testing::WriteFile(home.Path() / ".config/user-dirs.dirs",
                           "# written by xdg-user-dirs-update\n"
                           "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                           "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
  EXPECT_EQ(platform::DocumentsFolder(), home / "Docs");

  // A folder that is named but missing falls back to ~/Documents.
  nc16::testing::WriteFile(home.Path() / ".config/user-dirs.dirs",
                           "XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n");
  EXPECT_EQ(platform::DocumentsFolder(), home / "Documents");
  EXPECT_FALSE(std::filesystem::exists(home.Path() / "Gone"));

  // Japanese folder names come back as CP932.
  std::filesystem::create_directory(home.Path() / std::filesystem::path(u8"ドキュメント"));
  nc16::testing::WriteFile(home.Path() / ".config/user-dirs.dirs",
                           "XDG_DOCUMENTS_DIR=\"$HOME/ドキュメント\"\n");
  EXPECT_EQ(platform::DocumentsFolder(),
            FromNativePath(home.Path()) + Utf8ToCp932("/ドキュメント"));

  // A FIFO without a writer (whose open would wait for ever) and a file over 1 MiB are passed
  // over as if missing.
  const auto dirs = home.Path() / ".config/user-dirs.dirs";
  std::filesystem::remove(dirs);
  ASSERT_EQ(::mkfifo(dirs.c_str(), 0600), 0);
  EXPECT_EQ(platform::DocumentsFolder(), home / "Documents");
  std::filesystem::remove(dirs);
  nc16::testing::WriteFile(dirs, "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n" + std::string(1 << 20, '#'));
  EXPECT_EQ(platform::DocumentsFolder(), home / "Documents");
}

TEST(Folders, ExistenceHelpersTellFilesFromFolders) {
  TempFolder dir;
  std::string folder = FromNativePath(dir.Path() / std::filesystem::path(u8"給与"));
  std::filesystem::create_directory(NativePath(folder));
  nc16::testing::WriteFile(NativePath(folder + Utf8ToCp932("/設定.ini")), "x");
  EXPECT_TRUE(platform::DirectoryExists(folder));
  EXPECT_FALSE(platform::FileExists(folder));
  EXPECT_TRUE(platform::FileExists(folder + Utf8ToCp932("/設定.ini")));
  EXPECT_FALSE(platform::DirectoryExists(folder + Utf8ToCp932("/設定.ini")));
  EXPECT_FALSE(platform::FileExists(folder + "/none"));
  EXPECT_FALSE(platform::FileExists(""));
  EXPECT_FALSE(platform::DirectoryExists(""));
}

TEST(Folders, HomeFolderIsHomeElseThePasswordDatabases) {
  TempFolder home;
  {
    ScopedEnv set("HOME", home.Path().string() + "/");
    EXPECT_EQ(platform::HomeFolder(), FromNativePath(home.Path()));
  }
  ScopedEnv unset("HOME", std::nullopt);
  const passwd* entry = ::getpwuid(::getuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(platform::HomeFolder(), entry->pw_dir);
}

TEST(Folders, FolderWritableOnlyForAnExistingFolderWeMayWrite) {
  TempFolder dir;
  EXPECT_TRUE(platform::FolderWritable(FromNativePath(dir.Path())));
  EXPECT_FALSE(platform::FolderWritable(FromNativePath(dir.Path() / "missing")));
  nc16::testing::WriteFile(dir.Path() / "file", "x");
  EXPECT_FALSE(platform::FolderWritable(FromNativePath(dir.Path() / "file")));
  // A folder closed to its user: PageChecks.ThePlaceOfTheFileIsCheckedBeforeTheExport (root
  // writes everywhere, so it is tried as another user there).
}

// The causes a user can act on in our own words, whatever the locale; the system's for others.
TEST(FileErrors, CommonCausesAreOurOwnJapanese) {
  struct Case {
    int code;
    const char* words;
  };
  for (const Case& c :
       {Case{ENOENT, "指定されたパスが見つかりません"}, Case{EACCES, "アクセスが拒否されました"},
        Case{EPERM, "アクセスが拒否されました"}, Case{EISDIR, "フォルダーです"},
        Case{ENOSPC, "ディスクに十分な空き領域がありません"},
        Case{EDQUOT, "ディスクに十分な空き領域がありません"}, Case{EIO, std::strerror(EIO)}}) {
    EXPECT_EQ(Cp932ToUtf8(platform::FileErrorCause(c.code)), c.words) << c.code;
    EXPECT_EQ(
        Cp932ToUtf8(platform::FileErrorCause(std::error_code(c.code, std::generic_category()))),
        c.words)
        << c.code;
  }
}

TEST(Folders, ProgramFolderHoldsTheRunningProgram) {
  std::string folder = platform::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(platform::DirectoryExists(folder));
  EXPECT_TRUE(platform::FileExists(folder + "/platform_tests"));
}

}  // namespace
}  // namespace nc16
