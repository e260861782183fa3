#include "app/flow/Batch.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "app/flow/DataList.h"
#include "app/flow/DataSetCheck.h"
#include "app/flow/Export.h"
#include "document/TextUtils.h"
#include "document/Texts.h"
#include "external/db/Db.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

// The employees named in an error list: each one's block ends with a rule of 85 "-".
size_t EmployeesWithProblems(const std::vector<std::string>& lines) {
  const std::string rule(85, '-');
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), rule));
}

// Messages as one text, each ending with one CR.
std::string Joined(const Messages& messages) {
  std::string text;
  for (const Message& m : messages) {
    std::string line = m.text;
    while (line.ends_with('\r') || line.ends_with('\n'))
      line.pop_back();
    text += line + "\r";
  }
  return text;
}

// How a data set's key is looked up in the passwords file: without regard to the case of ASCII
// letters, as Windows names its folders.
std::string PasswordKey(std::string_view key) {
  return AsciiUpper(key);
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

std::vector<BatchDataSet> ListDataSets(const std::string& common_data_dir, Messages& shown,
                                       int year) {
  std::vector<BatchDataSet> sets;
  db::TDatabase connection;
  EraLookup eras;
  for (DataListRow& row : LoadDataList(connection, eras, common_data_dir, "Holder", "ASC", shown)) {
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
  TDataExportInfo info("", "", 0, Remembering::kNothing);
  DataSetCheck check(info);
  Messages shown;
  DataSetState state;
  state.Accepted = check.CheckSelectedData(set.Folder, shown);
  try {
    state.HasCompanyTable = DataSetCheck::HasCompanyTable(set.Folder);
  } catch (const EOSError&) {
    // Two names that differ only in case: the check's message names them.
  }
  state.Version = check.DataVersion;
  if (!state.Accepted) state.Message = Joined(shown);
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
    if (!passwords.emplace(PasswordKey(*key), *password).second)
      throw std::invalid_argument(where + "the key " + line.substr(0, tab) + " is given twice");
  }
  return passwords;
}

namespace {

// The rows of the data set's employee table; nothing when it cannot be read.
std::optional<size_t> RegisteredEmployees(const std::string& folder) {
  try {
    db::TQuery query;
    query.SetDatabaseName(folder);
    query.SQL() = {"SELECT Msyain.SearchKey FROM \"mSyain.db\" Msyain"};
    query.Open();
    return static_cast<size_t>(query.RecordCount());
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace

BatchOutcome RunDataSet(const BatchDataSet& set, const BatchOptions& options) {
  ExportRequest request;
  request.DataSet = set.Folder;
  if (options.MyNumber) {
    request.MyNumber = IndividualNumbers::kWhereUsed;
    // A data set without a line has no password at all: the export then says so.
    auto found = options.Passwords.find(PasswordKey(set.Key));
    if (found != options.Passwords.end()) request.ManagementPassword = found->second;
  }
  request.OutputFile =
      options.OutputFolder + std::string(platform::kPathSeparator) + set.Key + ".xml";
  request.FitExtension = true;
  request.Password = options.Password;
  request.ValidateOnly = options.ValidateOnly;
  request.KdfLimits = options.kdf_limits;
  ExportOutcome exported;
  try {
    exported = ExportDataSet(request);
  } catch (const std::exception& e) {
    // One data set's surprise never stops the others.
    exported.Shown = {{MessageKind::kError, e.what()}};
  }

  BatchOutcome out;
  out.Result = exported.Result;
  out.LogFailed = exported.LogFailed;
  out.MyNumber = exported.MyNumber;
  out.File = exported.File;
  out.Employees = exported.Employees;
  if (!out.Employees && exported.Result != ExportResult::kDataSetRefused) {
    // Stopped before the extraction (a password, a file): the employees it would have covered.
    ExportRequest count;
    count.DataSet = set.Folder;
    count.ValidateOnly = true;
    try {
      out.Employees = ExportDataSet(count).Employees;
    } catch (const std::exception&) {
    }
  }
  // A refused data set cannot be extracted: the employees its table holds.
  if (!out.Employees) out.Employees = RegisteredEmployees(set.Folder);
  out.WithProblems = EmployeesWithProblems(exported.Problems);
  out.Problems = std::move(exported.Problems);
  Messages& shown = exported.Shown;
  switch (exported.Result) {
    case ExportResult::kWritten:
      // A clean write says nothing; a log record that failed says what and why.
      if (!exported.LogFailed) return out;
      shown.push_back({MessageKind::kError, texts::LogRecordFailed()});
      break;
    case ExportResult::kNoManagementPassword:
      // The batch's own words: the wizard would have asked for it.
      shown = {{MessageKind::kWarning, texts::NoPasswordLine(set.Key)}};
      break;
    case ExportResult::kFailed:
      shown.push_back({MessageKind::kError, texts::FileFailed()});
      if (!exported.Cause.empty()) shown.push_back({MessageKind::kError, exported.Cause});
      break;
    default:
      break;
  }
  out.Message = Joined(shown);
  return out;
}

int BatchExitStatus(const std::vector<BatchOutcome>& outcomes) {
  if (outcomes.empty()) return kExitNothingSelected;
  const BatchOutcome* worst = &outcomes.front();
  for (const BatchOutcome& o : outcomes)
    if (CodesOf(o.Result, o.LogFailed).severity > CodesOf(worst->Result, worst->LogFailed).severity)
      worst = &o;
  return CodesOf(worst->Result, worst->LogFailed).exit_status;
}

}  // namespace nc16
