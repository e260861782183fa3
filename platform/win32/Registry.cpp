#include <windows.h>

#include <vector>

#include "platform/Platform.h"

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

}  // namespace

RegistryString ReadMachineRegistryString(std::string_view key_path, std::string_view value_name) {
  while (key_path.starts_with('\\'))
    key_path.remove_prefix(1);
  std::string path(key_path);
  std::string name(value_name);
  KeyHandle key;
  // The payroll product is a 32-bit program: on 64-bit Windows its installer's keys live in the
  // 32-bit view of the registry, which a 64-bit build of this program must ask for.
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, key.Out()) !=
      ERROR_SUCCESS)
    return {RegistryStatus::kKeyNotFound, {}};

  std::vector<char> buf(256);
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buf.size());
    LONG rc = ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(buf.data()), &size);
    if (rc == ERROR_MORE_DATA) {
      buf.resize(static_cast<size_t>(size) + 1);
      continue;
    }
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
      return {RegistryStatus::kValueNotFound, {}};
    // The stored size may or may not count the terminator; the text ends at the first NUL.
    std::string value(buf.data(), size);
    value.resize(value.find('\0') == std::string::npos ? value.size() : value.find('\0'));
    return {RegistryStatus::kOk, std::move(value)};
  }
  return {RegistryStatus::kValueNotFound, {}};
}

}  // namespace nc16::platform
