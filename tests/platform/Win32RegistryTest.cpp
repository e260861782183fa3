// The registry as the payroll product, a 32-bit program, leaves it: values in the 32-bit view of
// the real registry, read through the platform layer without NC16_REGISTRY. Each test writes
// under a key of its own and removes it from both views afterwards.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/platform/TempFolder.h"

namespace nc16::platform {
namespace {

using nc16::testing::ScopedEnv;

class Win32Registry : public ::testing::Test {
 protected:
  ~Win32Registry() override {
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
      ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), view, 0);
  }

  // Sets the string value in one view of HKEY_LOCAL_MACHINE\<key_>.
  void Write(REGSAM view, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0,
                                KEY_SET_VALUE | view, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(
        ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes),
        ERROR_SUCCESS);
    ::RegCloseKey(key);
  }

  RegistryString Read(const std::string& name) {
    return ReadMachineRegistryString("\\" + key_path_, name);
  }

  const std::string key_path_ = "SOFTWARE\\nc16-test-" + std::to_string(::GetCurrentProcessId());
  const std::wstring key_ = std::wstring(key_path_.begin(), key_path_.end());
  ScopedEnv real_registry_{"NC16_REGISTRY", std::nullopt};
};

TEST_F(Win32Registry, TheProductsKeyIsReadFromThe32BitView) {
  Write(KEY_WOW64_64KEY, L"RootDir", L"C:\\64\\");
  Write(KEY_WOW64_64KEY, L"Only64", L"x");
  Write(KEY_WOW64_32KEY, L"RootDir", L"C:\\32\\");
  struct Case {
    const char* name;
    RegistryStatus status;
    std::string value;
  } cases[] = {
      {"RootDir", RegistryStatus::kOk, "C:\\32\\"},
      {"rootdir", RegistryStatus::kOk, "C:\\32\\"},  // names ignore letter case
      {"Only64", RegistryStatus::kValueNotFound, ""},
  };
  for (const Case& c : cases) {
    const RegistryString got = Read(c.name);
    EXPECT_EQ(got.Status, c.status) << c.name;
    EXPECT_EQ(got.Value, c.value) << c.name;
  }
}

TEST_F(Win32Registry, AKeyOnlyInThe64BitViewIsNotTheProducts) {
  Write(KEY_WOW64_64KEY, L"RootDir", L"C:\\64\\");
  EXPECT_EQ(Read("RootDir").Status, RegistryStatus::kKeyNotFound);
}

TEST_F(Win32Registry, ValuesAreCp932ExactlyOrNotAtAll) {
  Write(KEY_WOW64_32KEY, L"Japanese", L"C:\\\x30BD\x30D5\x30C8\\");  // C:\ソフト\ (ソ ends in "\")
  Write(KEY_WOW64_32KEY, L"Accented", L"C:\\caf\x00E9\\");           // é has no CP932 form
  const RegistryString japanese = Read("Japanese");
  EXPECT_EQ(japanese.Status, RegistryStatus::kOk);
  EXPECT_EQ(japanese.Value, Utf8ToCp932("C:\\ソフト\\"));
  const RegistryString accented = Read("Accented");
  EXPECT_EQ(accented.Status, RegistryStatus::kValueNotFound);
  EXPECT_EQ(accented.Value, "");
}

}  // namespace
}  // namespace nc16::platform
