#include "app/flow/OutputStep.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "app/flow/DocumentOutput.h"
#include "document/ArgUtils.h"
#include "document/EDataExportError.h"
#include "document/Texts.h"
#include "document/XMLSaveDoc.h"
#include "document/xPzConv.h"
#include "external/qvcrypt/QvCryptLib.h"
#include "mnlog/uMNLog.h"
#include "platform/Platform.h"
#include "platform/Termination.h"

namespace nc16 {
namespace {

std::string WithoutTrailingSeparator(std::string_view folder) {
  std::string f(folder);
  while (f.size() > 1 && f.ends_with(platform::kPathSeparator))
    f.pop_back();
  return f;
}

}  // namespace

std::string ResolveOutputFolder(std::string_view file_name) {
  if (std::string_view folder = FolderPart(file_name); !folder.empty())
    return WithoutTrailingSeparator(folder);
  if (std::string documents = platform::DocumentsFolder(); !documents.empty()) return documents;
  // Never the program's own folder, which belongs to the installation (/usr/bin, Program Files).
  return platform::HomeFolder();
}

std::string ResolveOutputPath(std::string_view file_name) {
  if (!FolderPart(file_name).empty()) return std::string(file_name);
  std::string folder = ResolveOutputFolder(file_name);
  if (folder.empty()) return std::string(file_name);
  if (folder.ends_with(platform::kPathSeparator)) return folder + std::string(file_name);
  return folder + std::string(platform::kPathSeparator) + std::string(file_name);
}

namespace {

// The file the document streams to as it is built, in the form the export asks for.
std::unique_ptr<DocumentOutput> OutputFor(const TDataExportInfo& info,
                                          const OutputContext& context) {
  if (context.validate_only) return std::make_unique<DocumentOutput>();
  if (!context.by_launcher && info.IncludeMyNumber == 0)
    return std::make_unique<DocumentOutput>(context.target);
  if (context.by_launcher) {
    // The decoded key whole, zero bytes included.
    return std::make_unique<DocumentOutput>(context.target, TxPzConv().DecodeBase64(info.Password),
                                            true, nullptr);
  }
  return std::make_unique<DocumentOutput>(context.target, info.Password, false, context.kdf_limits);
}

}  // namespace

OutputStepResult MakeIntermediateFile(TDataExportInfo& info, const OutputContext& context) {
  OutputStepResult out;
  TMNLogClass log(out.shown);
  // Each SYAIN is written as soon as the next one starts; its count is the employees.
  std::unique_ptr<DocumentOutput> file;
  std::unique_ptr<TXmlSaveDoc> doc;
  try {
    file = OutputFor(info, context);
    doc = std::make_unique<TXmlSaveDoc>("1.0", "Shift_JIS", "", file->Sink());
    info.SetSystemNode(*doc);
    info.SetBasicNode(*doc);
    info.SetDataNode(*doc);
    out.employees = doc->CountElements("SYAIN");
    if (context.validate_only) {
      out.result = ExportResult::kWritten;
      return out;
    }
    doc->Finish();
    if (context.leave_plain_file && (out.plain_file = file->TakePlainFile())) {
      out.result = ExportResult::kWritten;
      return out;
    }

    // A file of individual numbers never exists without its audit record: Ctrl+C, a kill or a
    // closed terminal from here on takes effect once the record is written (or has failed).
    std::optional<platform::TerminationHold> hold;
    if (info.IncludeMyNumber == 1) hold.emplace();
    // Without this commit the temporary file is discarded: no partial target, ever.
    const int32_t answer = file->Commit();
    if (answer == QVCRYPT_ERR_TOO_LARGE) {
      out.cause = texts::DocumentTooLarge();
      return out;
    }
    if (answer != 0) {
      out.crypt_result = answer;
      return out;
    }

    if (info.IncludeMyNumber == 1) {
      out.log_failed =
          !log.WriteLog(info.DataFolder, texts::TargetProduct(), texts::MyNumberExported(), "", "",
                        GetPcName(), "", "", "", 0, 0, 0);
    }
    out.result = ExportResult::kWritten;
  } catch (const EDataExportError& e) {
    if (doc &&
        (e.Code == EDataExportError::kNoEmployee || e.Code == EDataExportError::kProblemsFound))
      out.employees = doc->CountElements("SYAIN");
    std::string text = std::string(e.what()) + "\r" + e.Detail + "\r";
    if (e.Code == EDataExportError::kNoEmployee) {
      out.shown.push_back({MessageKind::kInformation, text});
      out.result = ExportResult::kNoEmployee;
    } else if (e.Code == EDataExportError::kProblemsFound) {
      out.shown.push_back({MessageKind::kInformation, text});
      out.result = ExportResult::kProblems;
    } else {
      out.shown.push_back({MessageKind::kError, text});
    }
  } catch (const std::exception& e) {
    out.shown.push_back(StepFailure(e));
  }
  return out;
}

Message StepFailure(const std::exception& e) {
  return {MessageKind::kError, std::string(e.what()) + "\r\r"};
}

}  // namespace nc16
