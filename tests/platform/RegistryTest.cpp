#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "tests/platform/TempFolder.h"

namespace nc16::platform {
namespace {

using nc16::testing::ScopedEnv;
using nc16::testing::TempFolder;
using nc16::testing::WriteFile;

constexpr std::string_view kKey = "\\SOFTWARE\\VANTREL\\MILVEKKYUYO070";

class RegistryTest : public ::testing::Test {
 protected:
  TempFolder dir_;
  std::string file_ = dir_ / "registry.ini";
  ScopedEnv registry_{"NC16_REGISTRY", file_};
};

TEST_F(RegistryTest, MissingFileIsAKeyThatDoesNotOpen) {
  RegistryString r = ReadMachineRegistryString(kKey, "RootDir");
  EXPECT_EQ(r.Status, RegistryStatus::kKeyNotFound);
  EXPECT_EQ(r.Value, "");
}

TEST_F(RegistryTest, MissingSectionIsAKeyThatDoesNotOpen) {
  WriteFile(file_, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VANTREL\\OTHER]\r\nRootDir=C:\\x\\\r\n");
  EXPECT_EQ(ReadMachineRegistryString(kKey, "RootDir").Status, RegistryStatus::kKeyNotFound);
  // A key of the same name under another root is not this key either.
  WriteFile(file_, "[HKEY_CURRENT_USER\\SOFTWARE\\VANTREL\\MILVEKKYUYO070]\r\nRootDir=/x/\r\n");
  EXPECT_EQ(ReadMachineRegistryString(kKey, "RootDir").Status, RegistryStatus::kKeyNotFound);
}

TEST_F(RegistryTest, MissingValueIsDistinctFromAMissingKey) {
  WriteFile(file_, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VANTREL\\MILVEKKYUYO070]\r\nOther=1\r\n");
  RegistryString r = ReadMachineRegistryString(kKey, "RootDir");
  EXPECT_EQ(r.Status, RegistryStatus::kValueNotFound);
  EXPECT_EQ(r.Value, "");
}

TEST_F(RegistryTest, ReadsTheValueWithRegistryCaseRules) {
  WriteFile(file_,
            "[HKEY_LOCAL_MACHINE\\Software\\Vantrel\\MilvekKyuyo070]\r\nrootdir=/opt/vantrel/\r\n");
  RegistryString r = ReadMachineRegistryString(kKey, "RootDir");
  EXPECT_EQ(r.Status, RegistryStatus::kOk);
  EXPECT_EQ(r.Value, "/opt/vantrel/");
  // The leading backslash of an absolute key path is optional.
  EXPECT_EQ(ReadMachineRegistryString("SOFTWARE\\VANTREL\\MILVEKKYUYO070", "RootDir").Value,
            "/opt/vantrel/");
}

}  // namespace
}  // namespace nc16::platform
