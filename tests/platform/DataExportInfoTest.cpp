#include "document/DataExportInfo.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "document/EDataExportError.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/platform/TempFolder.h"

namespace nc16 {
namespace {

using nc16::testing::Native;
using nc16::testing::ReadFile;
using nc16::testing::ScopedEnv;
using nc16::testing::TempFolder;
using nc16::testing::WriteFile;

// An installed payroll product in a temporary folder: the registry file, the product's data
// root with Initdat, and the common data folder that holds DataSelect.ini.
class DataExportInfoTest : public ::testing::Test {
 protected:
  DataExportInfoTest() {
    WriteFile(registry_, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VANTREL\\MILVEKKYUYO070]\r\nRootDir=" +
                             Native(root_ + "/") + "\r\n");
    std::filesystem::create_directories(data_root_ + "/Initdat");
    std::filesystem::create_directories(common_dir_);
  }

  void Version(const std::string& content) {
    WriteFile(data_root_ + "/Initdat/Version.ini", content);
  }
  void Selection(const std::string& content) { WriteFile(selection_, content); }

  TempFolder dir_;
  std::string registry_ = dir_ / "registry.ini";
  std::string root_ = dir_ / "vantrel";
  std::string data_root_ = Native(root_ + "/MILVEKKYUYO16");
  std::string common_dir_ = dir_ / "common/vantrel/MILVEKKYUYO";
  std::string selection_ = Native(common_dir_ + "/DataSelect.ini");
  ScopedEnv registry_env_{"NC16_REGISTRY", registry_};
  ScopedEnv common_env_{"NC16_COMMON_APPDATA", dir_ / "common"};
};

TEST_F(DataExportInfoTest, FixedTextsAreByteExact) {
  TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
  EXPECT_EQ(info.WindowCaption,
            "\x83\x5D\x83\x8B\x83\x65"
            "from"
            "\x83\x7E\x83\x8B\x83\x78\x83\x4E\x8B\x8B\x97\x5E"
            "16");
  EXPECT_EQ(info.TargetProductName, "\x83\x5D\x83\x8B\x83\x65");
  EXPECT_EQ(info.SourceProductName, "\x83\x7E\x83\x8B\x83\x78\x83\x4E\x8B\x8B\x97\x5E");
  EXPECT_EQ(info.BusinessPrefix, "NC16");
  EXPECT_EQ(info.ConnectedProgramVer, "1.00.07");
  EXPECT_EQ(info.MinSourceVersion, "700000");
  EXPECT_EQ(info.HeaderVersion, 1);
  EXPECT_EQ(info.FilingYear, 0);
  EXPECT_EQ(info.Mode, "");
  EXPECT_EQ(info.IncludeMyNumber, 0);
  EXPECT_TRUE(info.CurrentNode.IsNone());
  EXPECT_EQ(info.Errors, nullptr);
}

TEST_F(DataExportInfoTest, DataRootAndCommonFolderComeFromRegistryAndShell) {
  TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
  // RootDir is a prefix: no separator is put between it and the product folder.
  EXPECT_EQ(info.DataRoot, data_root_);
  EXPECT_EQ(info.CommonDataDir, common_dir_);
}

TEST_F(DataExportInfoTest, RegistryWithoutKeyOrValue) {
  WriteFile(registry_, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VANTREL\\MILVEKKYUYO070]\r\nOther=1\r\n");
  EXPECT_EQ(TDataExportInfo("", "", 0, Remembering::kDataSetAndFile).DataRoot, "MILVEKKYUYO16");
  std::filesystem::remove(registry_);
  TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
  EXPECT_EQ(info.DataRoot, "");
  EXPECT_EQ(info.SourceVersion, "0");
}

TEST_F(DataExportInfoTest, SourceVersionIsTheDigitsOfVersionIni) {
  Version("[VERSION]\r\nMAJOR=7\r\nMINOR=01\r\nREVISION=002\r\n");
  TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
  EXPECT_EQ(info.SourceVersion, "701002");
  EXPECT_EQ(info.VersionMajor, "7");
  EXPECT_EQ(info.VersionMinor, "01");
  EXPECT_EQ(info.VersionRevision, "002");

  Version("[VERSION]\r\nMAJOR=8\r\nMINOR=10\r\nREVISION=123\r\n");
  EXPECT_EQ(TDataExportInfo("", "", 0, Remembering::kDataSetAndFile).SourceVersion, "810123");
}

TEST_F(DataExportInfoTest, VersionIniWithoutItsSectionGivesTheDefaults) {
  Version("[OTHER]\r\nMAJOR=9\r\n");
  TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
  EXPECT_EQ(info.SourceVersion, "100000");
  EXPECT_LT(std::stoi(info.SourceVersion), std::stoi(info.MinSourceVersion));
}

TEST_F(DataExportInfoTest, NoVersionIniGivesZeroAndEmptyParts) {
  TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
  EXPECT_EQ(info.SourceVersion, "0");
  EXPECT_EQ(info.VersionMajor, "");
  EXPECT_EQ(info.VersionMinor, "");
  EXPECT_EQ(info.VersionRevision, "");
}

TEST_F(DataExportInfoTest, StartedAloneRemembersTheLastChoicesAcrossRuns) {
  Selection("[Foreign]\r\nkeep=1\r\n[NENCHO]\r\nDATA=D01\r\nKOMONSAKI=" +
            Utf8ToCp932("株式会社ヤマダ") + "\r\nEXPORTFILE=/home/u/last.xml\r\n");
  {
    TDataExportInfo info("/ignored.xml", "pw", 0, Remembering::kDataSetAndFile);
    EXPECT_EQ(info.FunctionId, 1);
    EXPECT_EQ(info.CallerFunctionId, 0);
    EXPECT_EQ(info.DataKey, "D01");
    EXPECT_EQ(info.CompanyName, Utf8ToCp932("株式会社ヤマダ"));
    EXPECT_EQ(info.OutputFile, "/home/u/last.xml");
    EXPECT_EQ(info.Password, "pw");
    info.DataKey = "D02";
    info.CompanyName = Utf8ToCp932("有限会社スズキ");
    info.OutputFile = "/home/u/next.xml";
  }
  EXPECT_EQ(ReadFile(selection_), "[Foreign]\r\nkeep=1\r\n[NENCHO]\r\nDATA=D02\r\nKOMONSAKI=" +
                                      Utf8ToCp932("有限会社スズキ") +
                                      "\r\nEXPORTFILE=/home/u/next.xml\r\n");
  TDataExportInfo next("", "", 0, Remembering::kDataSetAndFile);
  EXPECT_EQ(next.DataKey, "D02");
  EXPECT_EQ(next.OutputFile, "/home/u/next.xml");
}

TEST_F(DataExportInfoTest, ALauncherNeitherReadsNorWritesTheExportFile) {
  Selection("[NENCHO]\r\nDATA=D01\r\nEXPORTFILE=/home/u/last.xml\r\n");
  {
    TDataExportInfo info("/from/launcher.xml.qve", "S0VZ", 5, Remembering::kDataSetAndFile);
    EXPECT_EQ(info.FunctionId, 5);
    EXPECT_EQ(info.CallerFunctionId, 5);
    EXPECT_EQ(info.OutputFile, "/from/launcher.xml.qve");
    EXPECT_EQ(info.Password, "S0VZ");
    EXPECT_EQ(info.DataKey, "D01");
    info.DataKey = "D09";
  }
  EXPECT_EQ(ReadFile(selection_),
            "[NENCHO]\r\nDATA=D09\r\nEXPORTFILE=/home/u/last.xml\r\nKOMONSAKI=\r\n");
}

TEST_F(DataExportInfoTest, ALaunchArgumentOfCallerIdZeroRemembersTheDataSetOnly) {
  Selection("[NENCHO]\r\nDATA=D01\r\nEXPORTFILE=/home/u/last.xml\r\n");
  {
    TDataExportInfo info("/from/launcher.xml.qve", "S0VZ", 0, Remembering::kDataSet);
    EXPECT_EQ(info.OutputFile, "/from/launcher.xml.qve");
    info.DataKey = "D09";
  }
  EXPECT_EQ(ReadFile(selection_),
            "[NENCHO]\r\nDATA=D09\r\nEXPORTFILE=/home/u/last.xml\r\nKOMONSAKI=\r\n");
}

TEST_F(DataExportInfoTest, OtherUsesNeitherReadNorWriteTheSelection) {
  const std::string kept = "[NENCHO]\r\nDATA=D01\r\nEXPORTFILE=/home/u/last.xml\r\n";
  Selection(kept);
  {
    TDataExportInfo info("", "", 0, Remembering::kNothing);
    EXPECT_EQ(info.DataKey, "");
    EXPECT_EQ(info.OutputFile, "");
    info.DataKey = "D09";
  }
  EXPECT_EQ(ReadFile(selection_), kept);
}

TEST_F(DataExportInfoTest, LongRememberedValuesAreCutAt2047Bytes) {
  Selection("[NENCHO]\r\nKOMONSAKI=" + std::string(5000, 'k') + "\r\n");
  TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
  EXPECT_EQ(info.CompanyName, std::string(2047, 'k'));
  info.CompanyName = "short";
}

TEST_F(DataExportInfoTest, AnUnwritableSelectionIsReportedOnceAndNeverThrows) {
  std::vector<std::string> reports;
  {
    TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
    info.OnSaveError = [&](const std::string& m) { reports.push_back(m); };
    // The product's common folder has gone: the profile functions never create folders.
    std::filesystem::remove_all(dir_ / "common");
  }
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find(selection_), std::string::npos) << Cp932ToUtf8(reports[0]);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "common"));

  // A callback that throws does not escape the destructor either.
  {
    TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
    info.OnSaveError = [](const std::string&) { throw std::runtime_error("callback"); };
  }
}

TEST_F(DataExportInfoTest, TheDefaultReportGoesToStandardErrorAsUtf8) {
  std::filesystem::remove_all(dir_ / "common");
  ::testing::internal::CaptureStderr();
  { TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile); }
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("DataSelect.ini"), std::string::npos) << err;
  EXPECT_NE(err.find("ファイル"), std::string::npos) << err;
}

TEST_F(DataExportInfoTest, WithoutACommonFolderTheSelectionIsLookedForAtTheRoot) {
  ScopedEnv no_shell("NC16_COMMON_APPDATA", "");
  Selection("[NENCHO]\r\nDATA=D01\r\n");
  {
    TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
    EXPECT_EQ(info.CommonDataDir, "");
    EXPECT_EQ(info.DataKey, "");
    // The save at the end goes where the test can look, not to the machine's root folder.
    info.CommonDataDir = dir_.Path().string();
    info.DataKey = "D07";
  }
  EXPECT_EQ(ReadFile(dir_ / "DataSelect.ini"),
            "[NENCHO]\r\nDATA=D07\r\nKOMONSAKI=\r\nEXPORTFILE=\r\n");
}

#ifndef _WIN32  // FIFOs and links to devices: POSIX only
// The registry file, Version.ini and DataSelect.ini, each a FIFO without a writer (whose open
// would wait for ever) or a file over 1 MiB: nothing waits, nothing is read whole. The
// installation's files stop start-up with a message naming the file; the remembered choices
// read as empty, and the save at the end names the file once and leaves it as it is.
TEST_F(DataExportInfoTest, ASettingsFileThatIsNoSmallRegularFileIsNamedAndNeverWaitedFor) {
  const std::string registry = ReadFile(registry_);
  const std::string version = data_root_ + "/Initdat/Version.ini";
  for (const std::string& file : {registry_, version, selection_}) {
    for (const bool fifo : {true, false}) {
      SCOPED_TRACE(file + (fifo ? " as a FIFO" : " over 1 MiB"));
      std::filesystem::remove(selection_);
      std::filesystem::remove(file);
      if (fifo)
        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
      else
        WriteFile(file, "[NENCHO]\r\n" + std::string(1 << 20, ';'));
      const std::string cause = fifo ? "通常のファイルではありません" : "大きすぎます";
      std::vector<std::string> reports;
      {
        TDataExportInfo info("", "", 0, Remembering::kDataSetAndFile);
        info.OnSaveError = [&](const std::string& m) { reports.push_back(m); };
        const std::string error = Cp932ToUtf8(info.SettingsError);
        if (file == selection_) {
          EXPECT_EQ(error, "");
          EXPECT_EQ(info.DataKey, "");
        } else {
          EXPECT_NE(error.find(file), std::string::npos) << error;
          EXPECT_NE(error.find(cause), std::string::npos) << error;
        }
      }
      if (file == selection_) {
        ASSERT_EQ(reports.size(), 1u);
        const std::string report = Cp932ToUtf8(reports[0]);
        EXPECT_NE(report.find(file), std::string::npos) << report;
        EXPECT_NE(report.find(cause), std::string::npos) << report;
        EXPECT_EQ(std::filesystem::is_fifo(file), fifo);
        if (!fifo) {
          EXPECT_EQ(std::filesystem::file_size(file), 10u + (1u << 20));
        }
      }
      std::filesystem::remove(file);
      WriteFile(registry_, registry);
    }
  }
}
#endif

TEST(EDataExportError, CarriesMessageDetailAndCode) {
  try {
    throw EDataExportError(Utf8ToCp932("社員が登録されていません。"), "", 16);
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), Utf8ToCp932("社員が登録されていません。"));
    const auto* export_error = dynamic_cast<const EDataExportError*>(&e);
    ASSERT_NE(export_error, nullptr);
    EXPECT_EQ(export_error->Detail, "");
    EXPECT_EQ(export_error->Code, 16);
  }
}

}  // namespace
}  // namespace nc16
