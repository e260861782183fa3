#include "app/flow/Batch.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "app/flow/DataList.h"
#include "app/flow/DataSetCheck.h"
#include "app/flow/Export.h"
#include "app/flow/FilePlacer.h"
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

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// True when S is well-formed UTF-8: no stray or missing continuation bytes, no overlong forms,
// no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t len;
    unsigned min_second = 0x80, max_second = 0xBF;
    if (b < 0x80) {
      len = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
      if (b == 0xE0) min_second = 0xA0;
      if (b == 0xED) max_second = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      if (b == 0xF0) min_second = 0x90;
      if (b == 0xF4) max_second = 0x8F;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      const unsigned lo = k == 1 ? min_second : 0x80, hi = k == 1 ? max_second : 0xBF;
      if (c < lo || c > hi) return false;
    }
    i += len;
  }
  return true;
}

// UTF-8 text with its ASCII letters in upper case (every byte of a longer character is 0x80 or
// above, so only ASCII letters change).
std::string AsciiUpperUtf8(std::string_view utf8) {
  std::string out(utf8);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

std::string PasswordKey(std::string_view key_cp932) {
  // Bytes that are not CP932 would all read as U+FFFD: such a key stays its bytes, marked with a
  // byte that UTF-8 never holds, so it matches no line and no other key.
  if (!IsValidCp932(key_cp932)) {
    std::string marked = "\xFF";  // appended, not a literal plus a temporary: GCC 12 -Wrestrict
    marked += AsciiUpper(key_cp932);
    return marked;
  }
  return AsciiUpperUtf8(Cp932ToUtf8(key_cp932));
}

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
    keys.push_back(PasswordKey(s.Key));
  std::sort(keys.begin(), keys.end());
  auto twice = std::adjacent_find(keys.begin(), keys.end());
  if (twice == keys.end()) return {};
  for (const BatchDataSet& s : sets)
    if (PasswordKey(s.Key) == *twice) return s.Key;
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
    std::string_view line = lines[n];
    // Editors on Windows often begin a UTF-8 file with a byte-order mark.
    if (n == 0 && line.starts_with(kUtf8Bom)) line.remove_prefix(kUtf8Bom.size());
    const std::string where = "line " + std::to_string(n + 1) + ": ";
    // Checked before anything else, so that no message shows a part of such a line.
    if (line.find('\0') != std::string_view::npos)
      throw std::invalid_argument(where + "holds a zero byte");
    if (!IsUtf8(line))
      throw std::invalid_argument(where +
                                  "is not UTF-8 text (the file must be saved as UTF-8, not "
                                  "Shift_JIS)");
    if (line.find_first_not_of(" \t") == std::string::npos || line.starts_with('#')) continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0)
      throw std::invalid_argument(where + "not KEY<TAB>password");
    const std::string_view key = line.substr(0, tab);
    auto password = Utf8ToCp932Exact(line.substr(tab + 1));
    if (!Utf8ToCp932Exact(key) || !password)
      throw std::invalid_argument(where + "holds a character that Shift_JIS cannot hold");
    // The key as characters: the line names a folder whichever CP932 bytes its name uses.
    if (!passwords.emplace(AsciiUpperUtf8(key), *password).second)
      throw std::invalid_argument(where + "the key " + std::string(key) + " is given twice");
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

// The export of one data set as the batch asks for it.
ExportOutcome Exported(const BatchDataSet& set, const BatchOptions& options,
                       bool leave_plain_file) {
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
  request.LeavePlainFile = leave_plain_file;
  try {
    return ExportDataSet(request);
  } catch (const std::exception& e) {
    // One data set's surprise never stops the others.
    ExportOutcome failed;
    failed.Shown = {{MessageKind::kError, e.what()}};
    return failed;
  }
}

// The batch's account of a data set's export (its file in place).
BatchOutcome OutcomeOf(const BatchDataSet& set, ExportOutcome exported) {
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

}  // namespace

BatchOutcome RunDataSet(const BatchDataSet& set, const BatchOptions& options) {
  return OutcomeOf(set, Exported(set, options, false));
}

void RunDataSets(const std::vector<BatchDataSet>& sets, const BatchOptions& options,
                 const std::function<void(const BatchDataSet&, BatchOutcome)>& done) {
  FilePlacer placer;
  const BatchDataSet* placing = nullptr;  // the data set whose file the placer has
  for (const BatchDataSet& set : sets) {
    ExportOutcome exported = Exported(set, options, true);
    if (placing != nullptr) done(*placing, OutcomeOf(*placing, placer.Take()));
    placing = nullptr;
    if (exported.PlainFile) {
      placer.Start(std::move(exported));
      placing = &set;
    } else {
      done(set, OutcomeOf(set, std::move(exported)));
    }
  }
  if (placing != nullptr) done(*placing, OutcomeOf(*placing, placer.Take()));
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
