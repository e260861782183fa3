#include "app/flow/Batch.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "app/flow/DataList.h"
#include "app/flow/DataSetCheck.h"
#include "app/flow/OutputStep.h"
#include "document/TextUtils.h"
#include "extract/ErrorList.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

// Keeps every message shown for one data set; a question is answered No, as on the terminal.
class CollectingBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(MessageKind, const std::string& text,
                     MessageButtons buttons = MessageButtons::kOk) override {
    std::string line = text;
    while (line.ends_with('\r') || line.ends_with('\n'))
      line.pop_back();
    text_ += line + "\r";
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// The employees named in an error list: each one's block ends with a rule of 85 "-".
size_t EmployeesWithProblems(const ErrorList& errors) {
  const std::string rule(85, '-');
  return static_cast<size_t>(std::count(errors.Lines.begin(), errors.Lines.end(), rule));
}

}  // namespace

std::string DataSetKey(std::string_view folder) {
  std::string_view last;
  size_t begin = 0;
  for (size_t i = 0; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == '\\' || folder[i] == '/') {
      if (i > begin) last = folder.substr(begin, i - begin);
      begin = i + 1;
    } else if (IsLeadByte(static_cast<unsigned char>(folder[i])) && i + 1 < folder.size()) {
      ++i;  // a trail byte may look like a backslash
    }
  }
  return std::string(last);
}

std::vector<BatchDataSet> ListDataSets(TDataExportInfo& info, MessageBoxes& boxes, int year) {
  std::vector<BatchDataSet> sets;
  DataSetCheck check(info, boxes);
  for (DataListRow& row : LoadDataList(check, info, boxes, "Holder", "ASC")) {
    if (!row.Used || (year != 0 && row.Year != year)) continue;
    // The folder on this system: a list copied from Windows holds Windows paths.
    sets.push_back({DataSetKey(row.Folder), std::move(row.Name), std::move(row.Period),
                    std::move(row.Folder), row.Year});
  }
  return sets;
}

std::string DuplicateKey(const std::vector<BatchDataSet>& sets) {
  std::vector<std::string> keys;
  for (const BatchDataSet& s : sets)
    keys.push_back(AsciiUpper(s.Key));
  std::sort(keys.begin(), keys.end());
  auto twice = std::adjacent_find(keys.begin(), keys.end());
  if (twice == keys.end()) return {};
  for (const BatchDataSet& s : sets)
    if (AsciiUpper(s.Key) == *twice) return s.Key;
  return *twice;
}

DataSetState InspectDataSet(const BatchDataSet& set) {
  CollectingBoxes boxes;
  TDataExportInfo info("", "", 0);
  info.SaveAtDestruction = false;
  DataSetCheck check(info, boxes);
  DataSetState state;
  state.Accepted = check.CheckSelectedData(set.Folder);
  try {
    state.HasCompanyTable = DataSetCheck::HasCompanyTable(set.Folder);
  } catch (const EOSError&) {
    // Two names that differ only in case: the check's message names them.
  }
  state.Version = check.DataVersion;
  if (!state.Accepted) state.Message = boxes.Text();
  return state;
}

ManagementPasswords ParseManagementPasswords(const std::vector<std::string>& lines) {
  ManagementPasswords passwords;
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    const std::string where = "line " + std::to_string(n + 1) + ": ";
    if (line.find_first_not_of(" \t") == std::string::npos || line.starts_with('#')) continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0)
      throw std::invalid_argument(where + "not KEY<TAB>password");
    auto key = Utf8ToCp932Exact(line.substr(0, tab));
    auto password = Utf8ToCp932Exact(line.substr(tab + 1));
    if (!key || !password)
      throw std::invalid_argument(where + "holds a character that Shift_JIS cannot hold");
    if (!passwords.emplace(AsciiUpper(*key), *password).second)
      throw std::invalid_argument(where + "the key " + line.substr(0, tab) + " is given twice");
  }
  return passwords;
}

BatchOutcome RunDataSet(const BatchDataSet& set, const BatchOptions& options) {
  BatchOutcome out;
  CollectingBoxes boxes;
  try {
    // A fresh set of export settings per data set, as a single export has, that never saves
    // the remembered choice.
    TDataExportInfo info("", options.Password, 0);
    info.SaveAtDestruction = false;
    DataSetCheck check(info, boxes);
    auto finish = [&](BatchResult result) {
      out.Result = result;
      out.Message = boxes.Text();
      return out;
    };
    if (!check.CheckSelectedData(set.Folder)) return finish(BatchResult::kRefused);

    // The My Number page, with the password from the passwords file.
    if (options.MyNumber && check.MyNumberInUse) {
      auto found = options.Passwords.find(AsciiUpper(set.Key));
      if (found == options.Passwords.end() || found->second.empty()) {
        boxes.Show(MessageKind::kWarning, SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが入力されていません。\r"));
        return finish(BatchResult::kFailed);
      }
      if (found->second != check.MyNumberPassword) {
        boxes.Show(MessageKind::kWarning, SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが違います。\r"));
        return finish(BatchResult::kFailed);
      }
      out.MyNumber = true;
    }
    info.IncludeMyNumber = out.MyNumber ? 1 : 0;
    info.OutputFile = options.OutputFolder + std::string(platform::kPathSeparator) + set.Key +
                      (out.MyNumber ? ".xml.qve" : ".xml");
    info.Password = options.Password;

    ErrorList errors;
    info.Errors = &errors;
    OutputContext context;
    context.program_folder = options.ProgramFolder;
    context.kdf_limits = options.kdf_limits;
    context.validate_only = options.ValidateOnly;
    OutputReport report;
    switch (MakeIntermediateFile(info, context, boxes, &report)) {
      case kOutputWritten:
        out.Employees = report.employees;
        if (!options.ValidateOnly) out.File = info.OutputFile;
        out.Result = BatchResult::kWritten;
        return out;
      case kOutputNoEmployee:
        return finish(BatchResult::kNoEmployee);
      case kOutputProblemsFound:
        out.Problems = errors.Lines;
        out.Employees = EmployeesWithProblems(errors);
        return finish(BatchResult::kProblems);
      default:
        break;
    }
  } catch (const std::exception& e) {
    boxes.Show(MessageKind::kError, e.what());
  } catch (...) {
    boxes.Show(MessageKind::kError, "unknown failure");
  }
  boxes.Show(MessageKind::kError, SJ("中間ﾌｧｲﾙの作成に失敗しました。\r"));
  out.Result = BatchResult::kFailed;
  out.Employees = 0;
  out.File.clear();
  out.Message = boxes.Text();
  return out;
}

int BatchExitStatus(const std::vector<BatchOutcome>& outcomes) {
  auto any = [&](std::initializer_list<BatchResult> results) {
    return std::any_of(outcomes.begin(), outcomes.end(), [&](const BatchOutcome& o) {
      return std::find(results.begin(), results.end(), o.Result) != results.end();
    });
  };
  if (!outcomes.empty() && !any({BatchResult::kNoEmployee, BatchResult::kProblems,
                                 BatchResult::kRefused, BatchResult::kFailed}))
    return 0;
  if (any({BatchResult::kFailed, BatchResult::kRefused})) return 4;
  if (any({BatchResult::kProblems})) return 5;
  return 3;
}

}  // namespace nc16
