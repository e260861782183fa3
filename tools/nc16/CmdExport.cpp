// nc16 export: the wizard's path without windows. The same start-up checks, data-set check,
// My Number password check and output step; the wizard's messages go to stderr.

#include <iostream>
#include <optional>

#include "app/flow/DataSetCheck.h"
#include "app/flow/OutputStep.h"
#include "app/flow/Startup.h"
#include "document/ArgUtils.h"
#include "document/TextUtils.h"
#include "extract/ErrorList.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {
namespace {

// Exit statuses of the export.
constexpr int kExitWritten = 0;
constexpr int kExitNoEmployee = 3;
constexpr int kExitFailed = 4;
constexpr int kExitProblems = 5;
constexpr int kExitLogFailed = 6;  // the file was written, the My Number log record was not

// The file page's rule for the name offered with or without individual numbers.
std::string AdjustExtension(std::string file, bool my_number) {
  if (!my_number) {
    if (EndsWithNoCase(RightPart(file, 8), ".xml.qve")) file.resize(file.size() - 4);
  } else if (!EndsWithNoCase(RightPart(file, 8), ".xml.qve")) {
    if (file.ends_with(".xml")) {
      file += ".qve";
    } else if (file.ends_with(".XML")) {
      file += ".QVE";
    }
  }
  return file;
}

}  // namespace

int RunExport(std::span<char* const> args) {
  for (std::string_view a : args)
    if (a == "--all") return RunExportAll(args);
  Options opts(args,
               {"data-folder", "output", "mn-password", "mn-password-file", "password",
                "password-file", "launcher-key", "key-file", "function-id"},
               {"my-number"});
  if (!opts.ok()) return UsageError(opts.error());
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
  int32_t function_id = 0;
  if (auto id = opts.Value("function-id")) {
    auto parsed = ParseLaunchArgument("0,0," + *id);
    if (!parsed) return UsageError("--function-id needs an integer");
    function_id = parsed->LauncherWParam;
  }
  // Paths and secrets go on exactly as given, or not at all.
  const std::string data_folder = ExactCp932("--data-folder", *data_folder_arg);
  const std::string file = ExactCp932("--output", *output_arg);
  const std::string launcher_key = by_launcher ? *ReadSecret(opts, key_option, "") : "";
  if (by_launcher && launcher_key.empty()) return UsageError("--launcher-key needs a key");
  // Given secrets are read now, so that a file that cannot be used stops the run at once; one
  // not given is asked for where the wizard asks, once the run has got that far.
  std::optional<std::string> password;
  if (SecretGiven(opts, password_option)) password = ReadSecret(opts, password_option, "");
  std::optional<std::string> mn_password;
  if (SecretGiven(opts, mn_password_option)) mn_password = ReadSecret(opts, mn_password_option, "");

  StderrBoxes boxes;
  auto stop = [&](const std::string& message) {
    PrintMessage(message);
    return kExitFailed;
  };

  // Start-up: one instance, no product of the payroll family running.
  if (platform::NamedMutex::Open(kOwnMutexName))
    return stop(Utf8ToCp932("連動ﾃﾞｰﾀの作成は既に起動しています。"));
  if (FindRunningSibling()) return stop(SiblingRunningMessage());
  platform::NamedMutex own;
  try {
    own = platform::NamedMutex::Create(kOwnMutexName);
  } catch (const EOSError& e) {
    return stop(MutexFailureMessage(e.what()));
  }

  TDataExportInfo info(by_launcher ? file : std::string(),
                       by_launcher ? launcher_key : password.value_or(""), function_id);
  // A function id of 0 would offer the remembered file, and remember the launcher's.
  if (by_launcher) {
    info.OutputFile = file;
    info.RememberOutputFile = false;
  }
  if (auto message = CheckInstallation(info)) {
    info.SaveAtDestruction = false;
    return stop(*message);
  }

  // The data set, as the wizard's second page checks it; the wizard's message says what it
  // found, a second line why the folder could not be read.
  DataSetCheck check(info, boxes);
  if (!check.CheckSelectedData(data_folder)) {
    if (auto cause = UnreadableFolder(data_folder)) PrintMessage(*cause);
    return kExitFailed;
  }

  // The My Number page.
  if (my_number) {
    if (!check.MyNumberInUse)
      return stop(Utf8ToCp932("この会社はマイナンバーを使用していません。"));
    if (!mn_password)
      mn_password = ReadSecret(opts, mn_password_option, "マイナンバー管理パスワード: ");
    const std::string typed = mn_password.value_or("");
    if (typed.empty()) return stop(SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが入力されていません。\r"));
    if (typed != check.MyNumberPassword) return stop(SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが違います。\r"));
  }
  info.IncludeMyNumber = my_number ? 1 : 0;

  // The file page, when no launcher gives the file.
  OutputContext context;
  context.started_by_launcher = by_launcher;
  context.program_folder = platform::ProgramFolder();
  if (!by_launcher) {
    info.OutputFile = AdjustExtension(file, my_number);
    if (platform::WindowsMajorVersion() >= 6 && IsSystemDriveRoot(info.OutputFile)) {
      return stop(SJ("ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(") + GetWindowsDrive() + SJ(")直下にﾌｧｲﾙは指定できません。") +
                  "\r" + SJ("別のﾄﾞﾗｲﾌﾞまたはﾌｫﾙﾀﾞを指定してから[次へ]をｸﾘｯｸしてください。") +
                  "\r");
    }
  }
  if (IsTableFileName(info.OutputFile)) return stop(TableFileNameMessage());
  std::string target =
      by_launcher ? info.OutputFile : ResolveOutputPath(info.OutputFile, context.program_folder);
  // A file in another letter case is the one the output step replaces.
  try {
    target = platform::ResolvePathCase(target);
  } catch (const EOSError& e) {
    return stop(e.what());
  }
  if (auto refused = RefusedOutput(target)) return stop(*refused);
  if (!by_launcher) {
    if (my_number && !password)
      password = ReadSecret(opts, password_option, "暗号化パスワード: ", /*confirm=*/true);
    if (my_number && password.value_or("").empty())
      return stop(
          SJ("暗号化ﾊﾟｽﾜｰﾄﾞが入力されていません。\r入力してから[次へ]をｸﾘｯｸしてください。\r"));
    info.Password = password.value_or("");
  }

  ErrorList errors;
  info.Errors = &errors;
  OutputReport report;
  switch (MakeIntermediateFile(info, context, boxes, &report)) {
    case kOutputWritten:
      PrintMessage(SJ("中間ﾌｧｲﾙが作成されました。\r"));
      std::cout << Cp932ToUtf8(target) << "\n";
      if (report.log_failed) {
        PrintMessage(
            SJ("nc16: 中間ファイルは書き込みましたが、マイナンバー出力ログ (tMNLog.DB) "
               "に記録できませんでした"));
        return kExitLogFailed;
      }
      return kExitWritten;
    case kOutputNoEmployee:
      return kExitNoEmployee;
    case kOutputProblemsFound:
      PrintMessage(errors.Text());
      return kExitProblems;
    default:
      PrintMessage(SJ("中間ﾌｧｲﾙの作成に失敗しました。\r"));
      if (report.crypt_result != 0) {
        PrintMessage(CryptResultText(report.crypt_result, by_launcher, target));
      } else if (!report.cause.empty()) {
        PrintMessage(report.cause);
      }
      return kExitFailed;
  }
}

}  // namespace nc16::cli
