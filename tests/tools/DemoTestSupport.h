#pragma once
// A demo installation written once per data version and shared by the tests of a suite.

#include <map>
#include <memory>
#include <string>

#include "platform/Cp932.h"
#include "tests/platform/TempFolder.h"
#include "tools/demo/DemoInstallation.h"

namespace nc16::demo::test {

struct Generated {
  testing::TempFolder folder;
  DemoInstallation installation;
};

// Small enough to keep the tests fast, large enough to hold every hand-made case and some
// random employees.
inline constexpr int kTestEmployees = 32;

inline const Generated& GeneratedFor(int version) {
  static std::map<int, std::unique_ptr<Generated>> cache;
  auto& slot = cache[version];
  if (!slot) {
    slot = std::make_unique<Generated>();
    DemoOptions options;
    options.root = FromNativePath(slot->folder.Path() / "demo");
    options.employees = kTestEmployees;
    options.data_version = version;
    options.seed = 7;
    slot->installation = CreateDemoInstallation(options);
  }
  return *slot;
}

inline std::filesystem::path TableFileIn(const std::string& folder_cp932, const char* name) {
  return NativePath(folder_cp932) / name;
}

}  // namespace nc16::demo::test
