#include <windows.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "platform/ProfileText.h"
#include "platform/win32/Wide.h"

namespace nc16::platform {
namespace {

class KeyHandle {
 public:
  KeyHandle() = default;
  ~KeyHandle() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The registry file of NC16_REGISTRY, read as on every other system (tests and demonstrations
// run the same everywhere).
RegistryString FromFile(const std::string& file, std::string_view key_path,
                        std::string_view value_name) {
  std::ifstream in(NativePath(file), std::ios::binary);
  if (!in) return {RegistryStatus::kKeyNotFound, {}};
  std::ostringstream content;
  content << in.rdbuf();
  ProfileText registry(content.str());
  const std::string section = "HKEY_LOCAL_MACHINE\\" + std::string(key_path);
  if (!registry.HasSection(section)) return {RegistryStatus::kKeyNotFound, {}};
  auto value = registry.Get(section, value_name);
  if (!value) return {RegistryStatus::kValueNotFound, {}};
  return {RegistryStatus::kOk, std::move(*value)};
}

}  // namespace

RegistryString ReadMachineRegistryString(std::string_view key_path, std::string_view value_name) {
  while (key_path.starts_with('\\'))
    key_path.remove_prefix(1);
  if (auto file = win32::EnvCp932Or(L"NC16_REGISTRY", std::nullopt))
    return FromFile(*file, key_path, value_name);

  const auto path = win32::WideFromCp932(key_path);
  const auto name = win32::WideFromCp932(value_name);
  if (!path) return {RegistryStatus::kKeyNotFound, {}};
  if (!name) return {RegistryStatus::kValueNotFound, {}};
  KeyHandle key;
  // The payroll product is a 32-bit program: on 64-bit Windows its installer's keys live in the
  // 32-bit view of the registry, which a 64-bit build of this program must ask for.
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path->c_str(), 0, KEY_READ | KEY_WOW64_32KEY,
                      key.Out()) != ERROR_SUCCESS)
    return {RegistryStatus::kKeyNotFound, {}};

  std::vector<wchar_t> buf(256);
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    LONG rc = ::RegQueryValueExW(key.Get(), name->c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(buf.data()), &size);
    if (rc == ERROR_MORE_DATA) {
      buf.resize(size / sizeof(wchar_t) + 1);
      continue;
    }
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
      return {RegistryStatus::kValueNotFound, {}};
    // The stored size may or may not count the terminator; the text ends at the first NUL.
    std::wstring value(buf.data(), size / sizeof(wchar_t));
    value.resize(value.find(L'\0') == std::wstring::npos ? value.size() : value.find(L'\0'));
    // A value that CP932 cannot hold names nothing the payroll product could have written.
    auto cp932 = win32::Cp932FromWide(value);
    if (!cp932) return {RegistryStatus::kValueNotFound, {}};
    return {RegistryStatus::kOk, std::move(*cp932)};
  }
  return {RegistryStatus::kValueNotFound, {}};
}

}  // namespace nc16::platform
