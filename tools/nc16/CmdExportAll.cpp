// nc16 export --all: every used data set of the installation, each exported as
// `nc16 export --data-folder` exports it alone, into one folder, with a summary and a report.

#include <iostream>

#include "app/flow/BatchReport.h"
#include "document/Texts.h"
#include "platform/Cp932.h"
#include "platform/OSError.h"
#include "platform/SecretFile.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/CmdBatch.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {

int RunExportAll(const Options& opts) {
  if (!opts.Positional().empty()) return UsageError("export takes no positional arguments");
  BatchCommand command;
  command.all = true;
  BatchOptions& options = command.options;

  auto exact = [](const std::string& utf8) { return Utf8ToCp932Exact(utf8); };
  auto dir = opts.Value("output-dir");
  if (!dir || dir->empty()) return UsageError("export --all needs --output-dir DIR");
  auto dir_cp932 = exact(*dir);
  if (!dir_cp932) return UsageError("--output-dir holds a character that Shift_JIS cannot hold");
  options.OutputFolder = *dir_cp932;
  if (auto year = opts.Value("year")) {
    auto parsed = ParseYear(*year);
    if (!parsed) return UsageError("--year takes a year YYYY");
    command.year = *parsed;
  }
  if (auto report = opts.Value("report")) {
    command.report = exact(*report);
    if (!command.report || command.report->empty())
      return UsageError("--report needs a file name that Shift_JIS can hold");
    if (auto refused = RefusedReport(*command.report, {})) return UsageError(*refused);
  }

  options.MyNumber = opts.Flag("my-number");
  const auto mn_file = opts.Value("mn-password-file");
  if (options.MyNumber != mn_file.has_value())
    return UsageError("--my-number and --mn-password-file go together");
  if (opts.Value("password") && opts.Value("password-file"))
    return UsageError("--password and --password-file exclude each other");
  try {
    std::string password;
    if (auto file = opts.Value("password-file")) {
      auto path = exact(*file);
      if (!path) return UsageError("--password-file holds a character that Shift_JIS cannot hold");
      password = platform::ReadSecretFile(*path);
      command.inputs.push_back(*path);
    } else {
      password = opts.Value("password").value_or("");
    }
    auto password_cp932 = exact(password);
    if (!password_cp932) {
      std::cerr << "nc16: the encryption password holds a character that Shift_JIS cannot hold\n";
      return kExitFailure;
    }
    options.Password = *password_cp932;
    if (mn_file) {
      auto path = exact(*mn_file);
      if (!path)
        return UsageError("--mn-password-file holds a character that Shift_JIS cannot hold");
      try {
        command.inputs.push_back(*path);
        options.Passwords = ParseManagementPasswords(platform::ReadSecretFileLines(*path));
      } catch (const std::invalid_argument& e) {
        std::cerr << "nc16: " << *mn_file << ": " << e.what() << "\n";
        return kExitFailure;
      }
    }
  } catch (const EOSError& e) {
    PrintMessage(e.what());
    return kExitFailure;
  }
  if (options.MyNumber && options.Password.empty()) {
    PrintMessage(texts::EncryptionPasswordMissing());
    return kExitFailure;
  }
  return RunBatchCommand(command);
}

}  // namespace nc16::cli
