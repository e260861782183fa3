#include "document/DataExportInfo.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "document/Texts.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

namespace os = platform;

// The registry key of the payroll product, as its installer writes it under
// HKEY_LOCAL_MACHINE, and the folder appended to its RootDir value. RootDir ends with its own
// separator, so none is inserted.
constexpr std::string_view kProductKey = "\\SOFTWARE\\VANTREL\\MILVEKKYUYO070";
constexpr std::string_view kRootDirValue = "RootDir";
constexpr std::string_view kDataRootFolder = "MILVEKKYUYO16";

constexpr std::string_view kSelectionFile = "DataSelect.ini";
constexpr std::string_view kSelectionSection = "NENCHO";
constexpr std::string_view kVersionFile = "Version.ini";
constexpr std::string_view kVersionSection = "VERSION";

// The buffer the profile reads use: 2048 bytes, the last for the terminator.
constexpr size_t kMaxProfileValue = 2047;

std::string Join(std::string_view folder, std::string_view name) {
  return std::string(folder) + std::string(os::kPathSeparator) + std::string(name);
}

void PrintToStderr(const std::string& cp932Message) {
  std::string text = Cp932ToUtf8(cp932Message) + "\n";
  std::fwrite(text.data(), 1, text.size(), stderr);
}

}  // namespace

TDataExportInfo::TDataExportInfo(std::string outputFile, std::string password,
                                 int32_t callerFunctionId, Remembering remembering)
    : OnSaveError(PrintToStderr),
      remembering_(remembering),
      save_at_destruction_(remembering != Remembering::kNothing) {
  try {
    DataRoot = ReadDataRoot();
  } catch (const EOSError& e) {
    SettingsError = e.what();
  }

  CommonDataDir.clear();
  if (auto common = os::CommonAppDataFolder())
    CommonDataDir = Join(Join(*common, "vantrel"), "MILVEKKYUYO");

  WindowCaption = texts::WindowCaption();
  ConnectedProgramVer = "1.00.07";
  TargetProductName = texts::TargetProduct();
  CallerFunctionId = callerFunctionId;
  BusinessPrefix = "NC16";
  HeaderVersion = 1;
  FunctionId = callerFunctionId != 0 ? callerFunctionId : 1;
  MinSourceVersion = "700000";
  SourceProductName = texts::SourceProduct();

  try {
    SourceVersion = ReadSourceVersion(Join(DataRoot, "Initdat"));
  } catch (const EOSError& e) {
    SourceVersion = "0";
    if (SettingsError.empty()) SettingsError = e.what();
  }

  CompanyName.clear();
  FilingYear = 0;
  Mode.clear();
  OutputFile = std::move(outputFile);
  Password = std::move(password);
  IncludeMyNumber = 0;

  if (remembering_ == Remembering::kNothing) return;
  try {
    LoadSelection(CommonDataDir);
  } catch (const EOSError& e) {
    if (SettingsError.empty()) SettingsError = e.what();
  }
}

TDataExportInfo::~TDataExportInfo() {
  // Losing the remembered choices must not take the program down with it: report and go on.
  if (!save_at_destruction_) return;
  std::string message;
  try {
    SaveSelection(CommonDataDir);
    return;
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
    message = SJ("DataSelect.ini を保存できません。");
  }
  try {
    if (OnSaveError) OnSaveError(message);
  } catch (...) {
  }
}

std::string TDataExportInfo::ReadDataRoot() {
  os::RegistryString root = os::ReadMachineRegistryString(kProductKey, kRootDirValue);
  if (root.Status == os::RegistryStatus::kKeyNotFound) return {};
  return root.Value + std::string(kDataRootFolder);
}

std::string TDataExportInfo::ReadSourceVersion(std::string_view dir) {
  // The payroll product's installer may have left the names in another letter case
  // (INITDAT\VERSION.INI); the profile functions find the file the same way.
  std::string file = os::ResolvePathCase(Join(dir, kVersionFile));
  if (!os::FileExists(file)) return "0";
  VersionMajor = os::ReadProfileString(file, kVersionSection, "MAJOR", "1", kMaxProfileValue);
  VersionMinor = os::ReadProfileString(file, kVersionSection, "MINOR", "00", kMaxProfileValue);
  VersionRevision =
      os::ReadProfileString(file, kVersionSection, "REVISION", "000", kMaxProfileValue);
  return VersionMajor + VersionMinor + VersionRevision;
}

void TDataExportInfo::LoadSelection(std::string_view dir) {
  // An ambiguous name raises here, as for every settings file.
  const std::string file = os::ResolvePathCase(Join(dir, kSelectionFile));
  // A launcher names the file itself; the remembered one belongs to runs of the program alone.
  const bool with_file = CallerFunctionId == 0 && remembering_ == Remembering::kDataSetAndFile;
  try {
    DataKey = os::ReadProfileString(file, kSelectionSection, "DATA", "", kMaxProfileValue);
    CompanyName = os::ReadProfileString(file, kSelectionSection, "KOMONSAKI", "", kMaxProfileValue);
    if (with_file)
      OutputFile =
          os::ReadProfileString(file, kSelectionSection, "EXPORTFILE", "", kMaxProfileValue);
  } catch (const EOSError&) {
    // The remembered choices only save typing: a file that cannot be read (a folder, a FIFO, a
    // file over 1 MiB, no permission) reads as empty, and the save at the end, refused for the
    // same cause, names the file and the cause once.
    DataKey.clear();
    CompanyName.clear();
    if (with_file) OutputFile.clear();
  }
}

void TDataExportInfo::SaveSelection(std::string_view dir) {
  std::vector<os::ProfileEntry> entries{{"DATA", DataKey}, {"KOMONSAKI", CompanyName}};
  if (CallerFunctionId == 0 && remembering_ == Remembering::kDataSetAndFile)
    entries.push_back({"EXPORTFILE", OutputFile});
  os::WriteProfileStrings(Join(dir, kSelectionFile), kSelectionSection, entries);
}

}  // namespace nc16
