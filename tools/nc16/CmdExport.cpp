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

// Message boxes as lines on stderr.
class StderrBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(MessageKind, const std::string& text, MessageButtons buttons) override {
    PrintMessage(text);
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
  }
};

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
  Options opts(args,
               {"data-folder", "output", "mn-password", "password", "launcher-key", "function-id"},
               {"my-number"});
  if (!opts.ok()) return UsageError(opts.error());
  if (!opts.Positional().empty()) return UsageError("export takes no positional arguments");
  auto data_folder = opts.Value("data-folder");
  if (!data_folder || data_folder->empty()) return UsageError("export needs --data-folder DIR");
  const bool my_number = opts.Flag("my-number");
  const auto launcher_key = opts.Value("launcher-key");
  const bool by_launcher = launcher_key.has_value();
  if (opts.Value("mn-password") && !my_number)
    return UsageError("--mn-password belongs to --my-number");
  if (opts.Value("function-id") && !by_launcher)
    return UsageError("--function-id belongs to --launcher-key");
  if (by_launcher && opts.Value("password"))
    return UsageError("--password and --launcher-key exclude each other");
  auto output = opts.Value("output");
  if (!output || output->empty()) return UsageError("export needs --output FILE");
  if (by_launcher && launcher_key->empty()) return UsageError("--launcher-key needs a key");
  int32_t function_id = 0;
  if (auto id = opts.Value("function-id")) {
    auto parsed = ParseLaunchArgument("0,0," + *id);
    if (!parsed) return UsageError("--function-id needs an integer");
    function_id = parsed->LauncherWParam;
  }

  StderrBoxes boxes;
  auto stop = [&](const std::string& message) {
    PrintMessage(message);
    return kExitFailed;
  };

  // Start-up: one instance, no product of the payroll family running.
  if (platform::NamedMutex::Open(kOwnMutexName))
    return stop(Utf8ToCp932("連動ﾃﾞｰﾀの作成は既に起動しています。"));
  if (FindRunningSibling()) return stop(SiblingRunningMessage());
  platform::NamedMutex own = platform::NamedMutex::Create(kOwnMutexName);

  const std::string file = Utf8ToCp932(*output);
  const std::string password = Utf8ToCp932(opts.Value("password").value_or(""));
  TDataExportInfo info(by_launcher ? file : std::string(), by_launcher ? *launcher_key : password,
                       function_id);
  // A function id of 0 would offer the remembered file, and remember the launcher's.
  if (by_launcher) {
    info.OutputFile = file;
    info.RememberOutputFile = false;
  }
  if (auto message = CheckInstallation(info)) {
    info.SaveAtDestruction = false;
    return stop(*message);
  }

  // The data set, as the wizard's second page checks it.
  DataSetCheck check(info, boxes);
  if (!check.CheckSelectedData(Utf8ToCp932(*data_folder))) return kExitFailed;

  // The My Number page.
  if (my_number) {
    if (!check.MyNumberInUse)
      return stop(Utf8ToCp932("この会社はマイナンバーを使用していません。"));
    std::string typed = Utf8ToCp932(opts.Value("mn-password").value_or(""));
    if (typed.empty()) return stop(SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが入力されていません。\r"));
    if (typed != check.MyNumberPassword) return stop(SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが違います。\r"));
  }
  info.IncludeMyNumber = my_number ? 1 : 0;

  // The file page, when no launcher gives the file.
  if (!by_launcher) {
    info.OutputFile = AdjustExtension(file, my_number);
    if (platform::WindowsMajorVersion() >= 6 && IsSystemDriveRoot(info.OutputFile)) {
      return stop(SJ("ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(") + GetWindowsDrive() + SJ(")直下にﾌｧｲﾙは指定できません。") +
                  "\r" + SJ("別のﾄﾞﾗｲﾌﾞまたはﾌｫﾙﾀﾞを指定してから[次へ]をｸﾘｯｸしてください。") +
                  "\r");
    }
    if (my_number && password.empty())
      return stop(
          SJ("暗号化ﾊﾟｽﾜｰﾄﾞが入力されていません。\r入力してから[次へ]をｸﾘｯｸしてください。\r"));
    info.Password = password;
  }

  ErrorList errors;
  info.Errors = &errors;
  OutputContext context;
  context.started_by_launcher = by_launcher;
  context.program_folder = platform::ProgramFolder();
  switch (MakeIntermediateFile(info, context, boxes)) {
    case kOutputWritten:
      PrintMessage(SJ("中間ﾌｧｲﾙが作成されました。\r"));
      std::cout << Cp932ToUtf8(by_launcher
                                   ? info.OutputFile
                                   : ResolveOutputPath(info.OutputFile, context.program_folder))
                << "\n";
      return kExitWritten;
    case kOutputNoEmployee:
      return kExitNoEmployee;
    case kOutputProblemsFound:
      PrintMessage(errors.Text());
      return kExitProblems;
    default:
      PrintMessage(SJ("中間ﾌｧｲﾙの作成に失敗しました。\r"));
      return kExitFailed;
  }
}

}  // namespace nc16::cli
