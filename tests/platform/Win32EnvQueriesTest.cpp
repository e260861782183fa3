// The environment queries on Windows against the system's own answers: the Windows drive, the
// computer name, the common application-data folder from the shell or the environment.

#include <windows.h>
// After windows.h, which they need.
#include <knownfolders.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "document/ArgUtils.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/platform/TempFolder.h"

namespace nc16 {
namespace {

using nc16::testing::ScopedEnv;

std::string Cp932(const wchar_t* wide) {
  const int n = ::WideCharToMultiByte(932, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(932, 0, wide, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();
  return out;
}

TEST(Win32EnvQueries, TheWindowsDriveAndTheComputerNameAreTheSystems) {
  wchar_t windows[MAX_PATH + 1] = {};
  ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH + 1), 2u);
  const std::string drive = Cp932(windows).substr(0, 2);
  EXPECT_EQ(GetWindowsDrive(), drive);
  EXPECT_GE(platform::WindowsMajorVersion(), 6);
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(::GetComputerNameW(name, &size));
  EXPECT_EQ(GetPcName(), Cp932(name));

  // A file directly in the drive's root, in any letter case; not one deeper, nor another drive.
  std::string lower = drive;
  lower[0] = static_cast<char>(lower[0] | 0x20);
  EXPECT_TRUE(IsSystemDriveRoot(drive + "\\out.xml"));
  EXPECT_TRUE(IsSystemDriveRoot(lower + "\\OUT.XML.qve"));
  EXPECT_FALSE(IsSystemDriveRoot(drive + "\\tmp\\out.xml"));
  EXPECT_FALSE(IsSystemDriveRoot(drive[0] == 'Q' ? "R:\\out.xml" : "Q:\\out.xml"));
  EXPECT_FALSE(IsSystemDriveRoot("out.xml"));
}

TEST(Win32EnvQueries, TheCommonFolderComesFromTheShellUnlessTheEnvironmentNamesIt) {
  {
    ScopedEnv unset("NC16_COMMON_APPDATA", std::nullopt);
    wchar_t* shell = nullptr;
    ASSERT_EQ(::SHGetKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_DONT_VERIFY, nullptr, &shell),
              S_OK);
    EXPECT_EQ(platform::CommonAppDataFolder(), Cp932(shell));
    ::CoTaskMemFree(shell);
  }
  // Set in the process's environment as UTF-16, whatever the ANSI code page.
  ScopedEnv restore("NC16_COMMON_APPDATA", std::nullopt);
  struct Case {
    const wchar_t* set;
    std::optional<std::string> folder;
  } cases[] = {
      {L"C:\\srv\\common\\", "C:\\srv\\common"},
      {L"C:\\srv\\common", "C:\\srv\\common"},
      {L"C:\\", "C:\\"},
      {L"C:\\\x30BD", Utf8ToCp932("C:\\ソ")},  // the second byte of ソ is "\"
      {L"", std::nullopt},                     // set, but empty: the folder cannot be named
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(::SetEnvironmentVariableW(L"NC16_COMMON_APPDATA", c.set));
    EXPECT_EQ(platform::CommonAppDataFolder(), c.folder) << Cp932(c.set);
  }
}

TEST(Win32EnvQueries, TheDocumentsAndProgramFoldersAreTheSystems) {
  wchar_t* documents = nullptr;
  ASSERT_EQ(::SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_DONT_VERIFY, nullptr, &documents),
            S_OK);
  const std::string expected = Cp932(documents);
  ::CoTaskMemFree(documents);
  EXPECT_EQ(platform::DocumentsFolder(),
            platform::DirectoryExists(expected) ? expected : std::string());
  EXPECT_TRUE(platform::FileExists(platform::ProgramFolder() + "\\platform_tests.exe"));
}

}  // namespace
}  // namespace nc16
