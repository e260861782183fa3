// nc16 export --all: every used data set of the installation, each exported as
// `nc16 export --data-folder` exports it alone, into one folder, with a summary and a report.

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
  // The encryption password with a single export's rules, messages and status: a file that
  // cannot be used is wrong usage, whichever of the two commands names it.
  const SecretOption password_option{"password", "password-file"};
  if (SecretGiven(opts, password_option)) {
    options.Password = ReadSecret(opts, password_option, "").value_or("");
    if (auto file = opts.Value("password-file"))
      command.inputs.push_back(ExactCp932("--password-file", *file));
  }
  if (mn_file) {
    // The passwords file likewise: refused before anything is written, with status 2.
    const std::string path = ExactCp932("--mn-password-file", *mn_file);
    command.inputs.push_back(path);
    try {
      options.Passwords = ParseManagementPasswords(platform::ReadSecretFileLines(path));
    } catch (const EOSError& e) {
      return UsageError("--mn-password-file: " + Cp932ToUtf8(e.what()));
    } catch (const std::invalid_argument& e) {
      return UsageError(*mn_file + ": " + e.what());
    }
  }
  if (options.MyNumber && options.Password.empty()) {
    PrintMessage(texts::EncryptionPasswordMissing());
    return kExitFailure;
  }
  return RunBatchCommand(command);
}

}  // namespace nc16::cli
