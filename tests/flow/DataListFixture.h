#pragma once
// A demo installation of two employees per data set, pointed at through the environment, with
// the export settings and the data-set check the data list is read through.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/flow/DataList.h"
#include "app/flow/DataSetCheck.h"
#include "platform/Cp932.h"
#include "tests/flow/Utf8Messages.h"
#include "tests/platform/TempFolder.h"
#include "tools/demo/DemoInstallation.h"

namespace nc16::test {

class DataListFixture : public ::testing::Test {
 protected:
  // `windows_copy`: the installation laid out as a copy from Windows.
  explicit DataListFixture(bool windows_copy = false) : windows_copy_(windows_copy) {}

  void SetUp() override {
    demo::DemoOptions options;
    options.root = FromNativePath(root_.Path());
    options.employees = 2;
    options.windows_copy = windows_copy_;
    inst_ = demo::CreateDemoInstallation(options);
    registry_.emplace("NC16_REGISTRY", NativePath(inst_.registry_file).string());
    appdata_.emplace("NC16_COMMON_APPDATA", NativePath(inst_.common_appdata).string());
    info_ = std::make_unique<TDataExportInfo>("", "", 0, Remembering::kNothing);
    check_ = std::make_unique<DataSetCheck>(*info_);
  }
  void TearDown() override {
    check_.reset();
    info_.reset();
  }
  std::vector<DataListRow> Load(const char* field = "Holder", const char* direction = "ASC") {
    return LoadDataList(check_->dbDatabase1, check_->Eras(), info_->CommonDataDir, field, direction,
                        shown_);
  }
  Utf8Shown Shown() const { return Utf8(shown_); }
  std::filesystem::path Common() const { return NativePath(inst_.common_data_dir); }

  const bool windows_copy_;
  testing::TempFolder root_;
  demo::DemoInstallation inst_;
  std::optional<testing::ScopedEnv> registry_, appdata_;
  std::unique_ptr<TDataExportInfo> info_;
  Messages shown_;
  std::unique_ptr<DataSetCheck> check_;
};

}  // namespace nc16::test
