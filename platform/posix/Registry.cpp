// The registry as an INI-form file: what the installer of the payroll product would write into
// HKEY_LOCAL_MACHINE is kept there, one section per key.

#include "platform/Platform.h"
#include "platform/ProfileText.h"
#include "platform/posix/Env.h"
#include "platform/posix/ReadWholeFile.h"

namespace nc16::platform {

RegistryString ReadMachineRegistryString(std::string_view key_path, std::string_view value_name) {
  while (key_path.starts_with('\\'))
    key_path.remove_prefix(1);
  std::string file = posix::EnvOr("NC16_REGISTRY", "/etc/vantrel/registry.ini");
  auto content = posix::ReadSettingsFile(file);
  if (!content) return {RegistryStatus::kKeyNotFound, {}};
  ProfileText registry(std::move(*content));
  std::string section = "HKEY_LOCAL_MACHINE\\" + std::string(key_path);
  if (!registry.HasSection(section)) return {RegistryStatus::kKeyNotFound, {}};
  auto value = registry.Get(section, value_name);
  if (!value) return {RegistryStatus::kValueNotFound, {}};
  return {RegistryStatus::kOk, std::move(*value)};
}

}  // namespace nc16::platform
