// Owner-only files and secret files on Windows, through their access lists: what the program
// writes for the user alone lets the user alone in, and a secret file that anyone else may read
// or write (and so choose the secret) is refused.

#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/OSError.h"
#include "platform/SecretFile.h"
#include "platform/win32/Sid.h"
#include "tests/platform/TempFolder.h"
#include "tests/platform/Win32AccessList.h"

namespace nc16 {
namespace {

using nc16::testing::AccessList;
using nc16::testing::Entry;
using nc16::testing::TempFolder;

// A file holding `content`, created with the access list of the SDDL text.
std::string FileWithAccess(const TempFolder& dir, const std::string& name, const std::wstring& sddl,
                           const std::string& content) {
  const std::string path = dir / name;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  EXPECT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  ::CloseHandle(h);
  // Set again on the file as it is: wine keeps an entry that lets Everyone write only so.
  EXPECT_TRUE(::SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, descriptor));
  ::LocalFree(descriptor);
  return path;
}

const std::wstring kMe = platform::win32::CurrentUserSid();

TEST(Win32AccessList, OwnerOnlyFilesLetTheCurrentUserAloneIn) {
  ASSERT_FALSE(kMe.empty());
  TempFolder dir;
  const std::string fresh = dir / "fresh.xml";
  WriteFileAtomic(fresh, "x", FileAccess::kOwnerOnly);
  // Replacing a file that everyone could read leaves a file that only the user can.
  const std::string shared = FileWithAccess(dir, "shared.xml", L"D:(A;;FA;;;WD)", "old");
  WriteFileAtomic(shared, "x", FileAccess::kOwnerOnly);
  for (const std::string& path : {fresh, shared}) {
    EXPECT_EQ(AccessList(path), std::vector<Entry>({{ACCESS_ALLOWED_ACE_TYPE, kMe}})) << path;
    EXPECT_EQ(platform::ReadSecretFile(path), "x") << path;
  }
}

TEST(Win32AccessList, AReplacedFileKeepsItsAccessList) {
  TempFolder dir;
  // A settings file that the product's installer opened to every user of the machine.
  const std::string path = FileWithAccess(dir, "DataSelect.ini", L"D:P(A;;FA;;;WD)", "old");
  const std::vector<Entry> before = AccessList(path);
  WriteFileAtomic(path, "new");
  EXPECT_EQ(AccessList(path), before);
}

TEST(Win32AccessList, SecretFilesThatOthersMayReadAreRefused) {
  ASSERT_FALSE(kMe.empty());
  TempFolder dir;
  // Entries for Everyone, which wine keeps (as the file's mode); it drops entries of other users
  // and groups, which the same check refuses on Windows.
  struct Case {
    const wchar_t* others;  // entries beside the user's own full access
    bool refused;
  } cases[] = {
      {L"", false},
      {L"(A;;FA;;;SY)(A;;FA;;;BA)", false},  // the system and the administrators read every file
      {L"(A;;FR;;;WD)", true},               // read by anyone
      {L"(A;;FW;;;WD)", true},               // written by anyone, who so chooses the secret
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::wstring sddl = L"D:P(A;;FA;;;" + kMe + L")" + c.others;
    const std::string path = FileWithAccess(dir, "secret" + std::to_string(++n), sddl, "pw\n");
    const std::string trace(sddl.begin(), sddl.end());
    SCOPED_TRACE(trace);
    if (!c.refused) {
      EXPECT_EQ(platform::ReadSecretFile(path), "pw");
      continue;
    }
    try {
      (void)platform::ReadSecretFile(path);
      ADD_FAILURE() << "accepted";
    } catch (const EOSError& e) {
      EXPECT_NE(std::string(e.what()).find("by others"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace nc16
