#include "app/flow/Export.h"

#include "app/flow/CryptResult.h"
#include "app/flow/DataSetCheck.h"
#include "app/flow/OutputStep.h"
#include "app/flow/PageChecks.h"
#include "document/DataExportInfo.h"
#include "document/Texts.h"
#include "extract/ErrorList.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

std::optional<std::string> Secret(const std::optional<std::string>& given,
                                  const SecretQuestion& ask) {
  if (given) return given;
  if (ask) return ask();
  return std::nullopt;
}

// The steps of one export, each ending the export when it refuses.
class Exporter {
 public:
  explicit Exporter(const ExportRequest& request)
      : request_(request),
        info_(request.LauncherKey ? request.OutputFile : std::string(),
              request.LauncherKey.value_or(std::string()), request.FunctionId, request.Remember),
        check_(info_) {}

  ExportOutcome Run() {
    if (!CheckDataSet()) return Refused(ExportResult::kDataSetRefused);
    if (!CheckMyNumber())
      return Refused(no_management_password_ ? ExportResult::kNoManagementPassword
                                             : ExportResult::kRequestRefused);
    if (!request_.ValidateOnly && !CheckOutput()) return Refused(ExportResult::kRequestRefused);
    Write();
    return std::move(out_);
  }

 private:
  bool Refuse(MessageKind kind, const std::string& text) {
    out_.Shown.push_back({kind, text});
    return false;
  }
  ExportOutcome Refused(ExportResult result) {
    out_.Result = result;
    // A company that uses My Number is shown as one, also when its password was missing.
    if (result != ExportResult::kNoManagementPassword) out_.MyNumber = false;
    return std::move(out_);
  }

  bool CheckDataSet() {
    if (check_.CheckSelectedData(request_.DataSet, out_.Shown)) return true;
    // The folder's own fault, unless the check's message has named it already.
    if (auto cause = platform::UnreadableFolder(request_.DataSet)) {
      if (out_.Shown.empty() || out_.Shown.back().text.find(*cause) == std::string::npos)
        out_.Cause = *cause;
    }
    return false;
  }

  bool CheckMyNumber() {
    bool include = request_.MyNumber == IndividualNumbers::kWith;
    if (include && !check_.MyNumberInUse)
      return Refuse(MessageKind::kWarning, texts::CompanyWithoutMyNumber());
    if (request_.MyNumber == IndividualNumbers::kWhereUsed) include = check_.MyNumberInUse;
    if (include) {
      const auto typed = Secret(request_.ManagementPassword, request_.AskManagementPassword);
      if (!typed) {
        no_management_password_ = true;
        out_.MyNumber = true;
      }
      if (auto refused = CheckManagementPassword(true, typed.value_or(""), check_.MyNumberPassword))
        return Refuse(MessageKind::kWarning, *refused);
    }
    out_.MyNumber = include;
    info_.IncludeMyNumber = include ? 1 : 0;
    return true;
  }

  bool CheckOutput() {
    std::string file = request_.OutputFile;
    if (request_.LauncherKey) {
      if (IsTableFileName(file)) return Refuse(MessageKind::kWarning, texts::TableFileName());
    } else {
      if (request_.FitExtension) file = OfferedFileName(file, out_.MyNumber);
      info_.OutputFile = file;  // the name as the user chose it, to be remembered
      if (auto refused = CheckOutputFileName(file)) return Refuse(MessageKind::kWarning, *refused);
    }
    try {
      // A file in another letter case is the one replaced, as on Windows: never a second one.
      target_ = request_.LauncherKey ? platform::ResolvePathCase(file) : OutputTargetOf(file);
    } catch (const EOSError& e) {
      return Refuse(MessageKind::kError, e.what());
    }
    // Said before the work, and before a password is asked for. The writer refuses a target that
    // is no regular file too; the file page's rules also name a missing or closed folder.
    if (request_.LauncherKey) {
      if (auto refused = NotReplaceable(NativePath(target_)))
        return Refuse(MessageKind::kError, *refused);
    } else if (auto refused = CheckOutputTarget(target_)) {
      return Refuse(MessageKind::kWarning, *refused);
    }
    if (request_.LauncherKey) {
      info_.Password = *request_.LauncherKey;
    } else {
      const std::string password =
          out_.MyNumber ? Secret(request_.Password, request_.AskPassword).value_or("")
                        : request_.Password.value_or("");
      if (auto refused = CheckEncryptionPassword(out_.MyNumber, password))
        return Refuse(MessageKind::kWarning, *refused);
      info_.Password = password;
    }
    return true;
  }

  void Write() {
    ErrorList errors;
    info_.Errors = &errors;
    OutputContext context;
    context.target = target_;
    context.by_launcher = request_.LauncherKey.has_value();
    context.kdf_limits = request_.KdfLimits;
    context.validate_only = request_.ValidateOnly;
    context.leave_plain_file = request_.LeavePlainFile;
    OutputStepResult step = MakeIntermediateFile(info_, context);
    info_.Errors = nullptr;
    out_.Result = step.result;
    out_.Shown.insert(out_.Shown.end(), step.shown.begin(), step.shown.end());
    out_.Employees = step.employees;
    out_.LogFailed = step.log_failed;
    out_.PlainFile = std::move(step.plain_file);
    if (step.result == ExportResult::kWritten && !request_.ValidateOnly) out_.File = target_;
    if (step.result == ExportResult::kProblems) out_.Problems = std::move(errors.Lines);
    if (step.result == ExportResult::kFailed) {
      out_.Cause = step.crypt_result != 0
                       ? CryptResultText(step.crypt_result, context.by_launcher, target_)
                       : step.cause;
    }
  }

  const ExportRequest& request_;
  TDataExportInfo info_;
  DataSetCheck check_;
  std::string target_;
  bool no_management_password_ = false;  // none given, none entered when asked
  ExportOutcome out_;
};

}  // namespace

ExportOutcome ExportDataSet(const ExportRequest& request) {
  return Exporter(request).Run();
}

void PlaceLeftFile(ExportOutcome& outcome) {
  if (!outcome.PlainFile) return;
  try {
    outcome.PlainFile->Commit();
  } catch (const std::exception& e) {
    outcome.Result = ExportResult::kFailed;
    outcome.Shown.push_back(StepFailure(e));
    outcome.File.clear();
  }
  outcome.PlainFile.reset();
}

}  // namespace nc16
