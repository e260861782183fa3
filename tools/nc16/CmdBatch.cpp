#include "tools/nc16/CmdBatch.h"

#include <charconv>
#include <ctime>
#include <filesystem>
#include <iostream>

#include "app/flow/BatchReport.h"
#include "app/flow/Startup.h"
#include "document/ArgUtils.h"
#include "document/Texts.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "platform/OSError.h"
#include "platform/Platform.h"
#include "tools/nc16/CliUtil.h"

namespace nc16::cli {
namespace {

std::string Now() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace

std::optional<int> ParseYear(const std::string& text) {
  int year = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), year);
  if (ec != std::errc() || end != text.data() + text.size() || text.size() != 4 || year < 1900)
    return std::nullopt;
  return year;
}

int RunBatchCommand(const BatchCommand& command) {
  const bool check = command.options.ValidateOnly;
  auto stop = [](const std::string& cp932) {
    PrintMessage(cp932);
    return kExitFailure;
  };

  // Start-up, once for the whole run: one instance, no product of the payroll family running.
  ProgramClaim claim = ClaimProgram();
  if (claim.Refusal) return stop(claim.Refusal->text);
  const TDataExportInfo info("", "", 0, Remembering::kNothing);
  if (auto message = CheckInstallation(info)) return stop(*message);

  // The data sets, in the list's order.
  Messages shown;
  std::vector<BatchDataSet> sets =
      ListDataSets(info.CommonDataDir, shown, command.all ? command.year : 0);
  for (const Message& message : shown)
    PrintMessage(message.text);
  if (!shown.empty()) return kExitFailure;
  if (!command.all) {
    BatchDataSet one{DataSetKey(command.data_folder), "", "", command.data_folder, 0};
    for (const BatchDataSet& s : sets)
      if (s.Folder == command.data_folder) one = s;
    sets = {one};
  }
  if (sets.empty()) {
    std::cerr << "nc16: no data set " << (command.year ? "of that year " : "")
              << "in the data list\n";
    return kExitNothingSelected;
  }
  if (std::string key = DuplicateKey(sets); !key.empty()) {
    std::cerr << "nc16: two data sets share the key " << Cp932ToUtf8(key)
              << ": their files would be one; nothing written\n";
    return kExitFailure;
  }

  BatchOptions options = command.options;
  if (command.report) {
    // The report never takes the place of a file the run reads or writes.
    std::vector<std::string> run_files = command.inputs;
    for (const BatchDataSet& set : sets) {
      const std::string file =
          options.OutputFolder + std::string(platform::kPathSeparator) + set.Key + ".xml";
      run_files.insert(run_files.end(), {file, file + ".qve"});
    }
    if (auto refused = RefusedReport(*command.report, run_files)) return UsageError(*refused);
  }
  if (!check) {
    const std::string& dir = options.OutputFolder;
    if (platform::WindowsMajorVersion() >= 6 &&
        IsSystemDriveRoot(dir + std::string(platform::kPathSeparator) + "KEY.xml")) {
      return stop(texts::SystemDriveRoot(GetWindowsDrive()));
    }
    if (!platform::DirectoryExists(dir)) {
      std::error_code ec;
      std::filesystem::create_directories(NativePath(dir), ec);
      if (!ec)
        std::filesystem::permissions(NativePath(dir), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, ec);
      if (ec) {
        std::cerr << "nc16: cannot create " << Cp932ToUtf8(dir) << ": " << ec.message() << "\n";
        return kExitFailure;
      }
    }
  }

  BatchRunInfo run;
  run.Check = check;
  run.CommonDataDir = info.CommonDataDir;
  run.When = Now();
  run.Computer = GetPcName();
  run.OutputFolder = check ? std::string() : options.OutputFolder;
  run.MyNumber = options.MyNumber;
  run.Year = command.all ? command.year : 0;

  std::vector<BatchRow> rows;
  std::vector<BatchOutcome> outcomes;
  std::cout << SummaryHeader() << std::flush;
  {
    // The new files' folder is made durable once, after the last data set, not once a file.
    DeferredFolderSyncs folder_syncs(NativePath(options.OutputFolder));
    RunDataSets(sets, options, [&](const BatchDataSet& set, BatchOutcome outcome) {
      BatchRow row{set, std::move(outcome)};
      std::cout << SummaryLine(row, check) << std::flush;
      if (!row.Outcome.Problems.empty()) {
        std::string text = "== " + set.Key + " " + set.Name + " ==\r";
        for (const std::string& line : row.Outcome.Problems)
          text += line + "\r";
        PrintMessage(text);
      }
      outcomes.push_back(row.Outcome);
      rows.push_back(std::move(row));
    });
  }

  int status = BatchExitStatus(outcomes);
  if (command.report) {
    try {
      WriteReport(*command.report, run, rows);
    } catch (const std::exception& e) {
      PrintMessage(e.what());
      status = kExitFailure;
    }
  }
  return status;
}

}  // namespace nc16::cli
