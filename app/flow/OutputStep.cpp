#include "app/flow/OutputStep.h"

#include <algorithm>

#include "document/ArgUtils.h"
#include "document/EDataExportError.h"
#include "document/XMLSaveDoc.h"
#include "document/xPzConv.h"
#include "external/qvcrypt/QvCryptLib.h"
#include "mnlog/uMNLog.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

std::string WithoutTrailingSeparator(std::string_view folder) {
  std::string f(folder);
  while (f.size() > 1 && f.ends_with(platform::kPathSeparator))
    f.pop_back();
  return f;
}

}  // namespace

std::string ResolveOutputFolder(std::string_view file_name, std::string_view fallback) {
  if (std::string_view folder = FolderPart(file_name); !folder.empty())
    return WithoutTrailingSeparator(folder);
  if (std::string documents = platform::DocumentsFolder(); !documents.empty()) return documents;
  return std::string(fallback);
}

std::string ResolveOutputPath(std::string_view file_name, std::string_view fallback) {
  if (!FolderPart(file_name).empty()) return std::string(file_name);
  std::string folder = ResolveOutputFolder(file_name, fallback);
  if (folder.ends_with(platform::kPathSeparator)) return folder + std::string(file_name);
  return folder + std::string(platform::kPathSeparator) + std::string(file_name);
}

bool IsTableFileName(std::string_view file_name) {
  const std::string_view name = file_name.substr(FolderPart(file_name).size());
  const size_t dot = name.rfind('.');
  const size_t ext_length = dot == std::string_view::npos ? 0 : name.size() - dot - 1;
  if (ext_length != 2 && ext_length != 3) return false;
  std::string ext(name.substr(dot + 1));
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
  if (ext == "DB" || ext == "PX" || ext == "MB") return true;
  return ext.size() == 3 && (ext[0] == 'X' || ext[0] == 'Y') && (hex(ext[1]) || ext[1] == 'G') &&
         hex(ext[2]);
}

const std::string& TableFileNameMessage() {
  return SJ(
      "給与ﾃﾞｰﾀのﾃｰﾌﾞﾙと同じ種類のﾌｧｲﾙ名(.DB .PX .MB .Xnn .Ynn)は中間ﾌｧｲﾙに指定できません。"
      "\r別のﾌｧｲﾙ名を指定してから[次へ]をｸﾘｯｸしてください。\r");
}

int MakeIntermediateFile(TDataExportInfo& info, const OutputContext& context, MessageBoxes& boxes,
                         OutputReport* report) {
  OutputReport ignored;
  if (report == nullptr) report = &ignored;
  int result = kOutputFailed;
  TXmlSaveDoc doc("1.0", "Shift_JIS", "");
  TMNLogClass log(boxes);
  try {
    info.SetSystemNode(doc);
    info.SetBasicNode(doc);
    info.SetDataNode(doc);
    if (report != nullptr) report->employees = doc.CountElements("SYAIN");
    if (context.validate_only) return kOutputWritten;

    // A file (or folder) that exists in another letter case is the one replaced, as on Windows:
    // never a second file beside it.
    const std::string target = platform::ResolvePathCase(
        context.started_by_launcher ? info.OutputFile
                                    : ResolveOutputPath(info.OutputFile, context.program_folder));

    if (!context.started_by_launcher && info.IncludeMyNumber == 0) {
      doc.SaveToFile(target);
      return kOutputWritten;
    }

    const std::string text = doc.GetXmlText();
    // The library takes the length as a 32-bit count of the text up to its first zero byte.
    const size_t length = std::min(text.find('\0'), text.size());
    if (length > static_cast<size_t>(INT32_MAX)) {
      report->cause = SJ("文書が大きすぎて暗号化できません");
      return kOutputFailed;
    }
    int32_t answer;
    if (context.started_by_launcher) {
      std::string key = TxPzConv().DecodeBase64(info.Password);
      key.resize(std::min(key.find('\0'), key.size()));  // handed over zero-terminated
      answer = QvCryptEncryptMemToFileByKey(text.data(), static_cast<int32_t>(length),
                                            target.c_str(), key.c_str());
    } else if (context.kdf_limits != nullptr) {
      answer = QvCryptEncryptMemToFileEx(text.data(), static_cast<int32_t>(length), target.c_str(),
                                         info.Password.c_str(), context.kdf_limits);
    } else {
      answer = QvCryptEncryptMemToFile(text.data(), static_cast<int32_t>(length), target.c_str(),
                                       info.Password.c_str());
    }
    if (answer != 0) {
      report->crypt_result = answer;
      return kOutputFailed;
    }

    if (info.IncludeMyNumber == 1) {
      report->log_failed =
          !log.WriteLog(info.DataFolder, SJ("ゾルテ"), SJ("個人番号が外部に出力されました。"), "",
                        "", GetPcName(), "", "", "", 0, 0, 0);
    }
    result = kOutputWritten;
  } catch (const EDataExportError& e) {
    std::string text = std::string(e.what()) + "\r" + e.Detail + "\r";
    if (e.Code == 16) {
      boxes.Show(MessageKind::kInformation, text);
      result = kOutputNoEmployee;
    } else if (e.Code == 1) {
      boxes.Show(MessageKind::kInformation, text);
      result = kOutputProblemsFound;
    } else {
      boxes.Show(MessageKind::kError, text);
    }
  } catch (const std::exception& e) {
    boxes.Show(MessageKind::kError, std::string(e.what()) + "\r\r");
  }
  return result;
}

}  // namespace nc16
