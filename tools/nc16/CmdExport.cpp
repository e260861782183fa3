// nc16 export: the wizard's path without windows. The same start-up checks, then the one export
// of a data set that the wizard's Finish runs; its messages go to stderr.

#include <iostream>
#include <optional>

#include "app/flow/Export.h"
#include "app/flow/Startup.h"
#include "document/Texts.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {

int RunExport(const Options& opts) {
  if (!opts.Positional().empty()) return UsageError("export takes no positional arguments");
  auto data_folder_arg = opts.Value("data-folder");
  if (!data_folder_arg || data_folder_arg->empty())
    return UsageError("export needs --data-folder DIR");
  const bool my_number = opts.Flag("my-number");
  const SecretOption mn_password_option{"mn-password", "mn-password-file"};
  const SecretOption password_option{"password", "password-file"};
  const SecretOption key_option{"launcher-key", "key-file"};
  const bool by_launcher = SecretGiven(opts, key_option);
  if (SecretGiven(opts, mn_password_option) && !my_number)
    return UsageError("--mn-password and --mn-password-file belong to --my-number");
  if (opts.Value("function-id") && !by_launcher)
    return UsageError("--function-id belongs to --launcher-key or --key-file");
  if (by_launcher && SecretGiven(opts, password_option))
    return UsageError("a password and a launcher key exclude each other");
  auto output_arg = opts.Value("output");
  if (!output_arg || output_arg->empty()) return UsageError("export needs --output FILE");
  if (*output_arg == "-")
    return UsageError("--output needs a file: the intermediate file never goes to standard output");

  ExportRequest request;
  if (auto id = opts.Value("function-id")) {
    auto parsed = ParseLaunchArgument("0,0," + *id);
    if (!parsed) return UsageError("--function-id needs an integer");
    request.FunctionId = parsed->LauncherWParam;
  }
  // Paths and secrets go on exactly as given, or not at all.
  request.DataSet = ExactCp932("--data-folder", *data_folder_arg);
  // A relative name is the working directory's, as for every command (not the documents folder
  // the wizard puts a bare name in); remembered as the absolute path it is.
  request.OutputFile = platform::AbsolutePath(ExactCp932("--output", *output_arg));
  request.MyNumber = my_number ? IndividualNumbers::kWith : IndividualNumbers::kWithout;
  // The choice is remembered as the wizard remembers it; a launcher's file never is.
  request.Remember = by_launcher ? Remembering::kDataSet : Remembering::kDataSetAndFile;
  if (by_launcher) {
    request.LauncherKey = ReadSecret(opts, key_option, "").value_or("");
    if (request.LauncherKey->empty()) return UsageError("--launcher-key needs a key");
  } else {
    // The file page offers the name with the extension of its form.
    request.FitExtension = true;
  }
  // Given secrets are read now, so that a file that cannot be used stops the run at once; one
  // not given is asked for where the wizard asks, once the run has got that far.
  if (SecretGiven(opts, password_option)) request.Password = ReadSecret(opts, password_option, "");
  request.AskPassword = [&] {
    return ReadSecret(opts, password_option, "暗号化パスワード: ", /*confirm=*/true);
  };
  if (SecretGiven(opts, mn_password_option))
    request.ManagementPassword = ReadSecret(opts, mn_password_option, "");
  request.AskManagementPassword = [&] {
    return ReadSecret(opts, mn_password_option, "マイナンバー管理パスワード: ");
  };

  // Start-up: one instance, no product of the payroll family running, the product installed.
  ProgramClaim claim = ClaimProgram();
  if (claim.Refusal) {
    PrintMessage(claim.Refusal->text);
    return kExitFailure;
  }
  if (auto stop = CheckInstallation(request.Remember)) {
    PrintMessage(*stop);
    return kExitFailure;
  }

  const ExportOutcome outcome = ExportDataSet(request);
  for (const Message& message : outcome.Shown)
    PrintMessage(message.text);
  switch (outcome.Result) {
    case ExportResult::kWritten:
      PrintMessage(texts::FileWritten());
      std::cout << Cp932ToUtf8(outcome.File) << "\n";
      if (outcome.LogFailed) PrintMessage("nc16: " + texts::LogRecordFailed());
      break;
    case ExportResult::kProblems: {
      std::string list;
      for (const std::string& line : outcome.Problems)
        list += line + "\r\n";
      PrintMessage(list);
      break;
    }
    case ExportResult::kFailed:
      PrintMessage(texts::FileFailed());
      break;
    default:
      break;
  }
  if (!outcome.Cause.empty()) PrintMessage(outcome.Cause);
  return CodesOf(outcome.Result, outcome.LogFailed).exit_status;
}

}  // namespace nc16::cli
