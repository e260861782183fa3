#pragma once
// Every data set of an installation in one run, without windows: the used rows of the data list
// and, for each of them, the data-set check and the output step exactly as a single export runs
// them, writing FOLDER/KEY.xml (KEY.xml.qve with individual numbers) or, for a check, nothing.
// One data set's failure never stops the others. Texts are CP932.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/flow/ExportResults.h"
#include "platform/MessageBox.h"

struct QvCryptKdfLimits;

namespace nc16 {

// One used row of the data list.
struct BatchDataSet {
  std::string Key;     // the last component of the folder path, e.g. DAT001
  std::string Name;    // the data name
  std::string Period;  // the data list's period cell
  std::string Folder;  // the full folder path on this system (the list's Holder, mapped)
  int Year = 0;        // the Western year of the data
};

// The last component of a folder path, after the last "\" or "/" (a trail byte never counts);
// separators at the end are ignored.
std::string DataSetKey(std::string_view folder);

// The used data sets of the data list of `common_data_dir` in the list's default order (by
// folder, ascending); with `year` not 0 only those of that year. A list that cannot be read adds
// its error report to `shown`.
std::vector<BatchDataSet> ListDataSets(const std::string& common_data_dir, Messages& shown,
                                       int year = 0);

// The first key that two data sets share, compared as PasswordKey compares them (the files
// KEY.xml would be one file on Windows, and one line of the passwords file would name both);
// empty when every key is distinct.
std::string DuplicateKey(const std::vector<BatchDataSet>& sets);

// The data-set check alone, as the listing shows it.
struct DataSetState {
  bool Accepted = false;
  int Version = 0;               // the company's data version; 0 without a company table
  bool HasCompanyTable = false;  // the folder holds mKaisya.db
  std::string Message;           // the check's messages when refused
};
DataSetState InspectDataSet(const BatchDataSet& set);

// How a data-set key is matched with the keys of a passwords file: as characters, not as the
// bytes one conversion picks (髙 is both 0xFB 0xFC and 0xEE 0xE0 in CP932, and a folder name may
// use either), and without regard to the case of ASCII letters, as Windows names its folders.
// The key's UTF-8 form with its ASCII letters in upper case (a key that is not CP932 text gets a
// form of its own that matches nothing else).
std::string PasswordKey(std::string_view key_cp932);

// Management passwords (CP932) by PasswordKey of the data set.
using ManagementPasswords = std::map<std::string, std::string>;

// Reads the lines of a passwords file (UTF-8, a byte-order mark allowed before the first line):
// "KEY<TAB>password" each; blank lines and lines starting with "#" are skipped. Raises
// std::invalid_argument naming the line (UTF-8), and never the password, for a line that is not
// UTF-8 or holds a zero byte, a line without a tab or a key, a key given twice, or a text that
// CP932 cannot hold.
ManagementPasswords ParseManagementPasswords(const std::vector<std::string>& lines);

struct BatchOptions {
  bool ValidateOnly = false;  // a check: build and validate, write nothing, log nothing
  std::string OutputFolder;   // where KEY.xml and KEY.xml.qve go
  bool MyNumber = false;      // individual numbers for the companies that use My Number
  ManagementPasswords Passwords;
  std::string Password;  // the encryption password of files with individual numbers
  const QvCryptKdfLimits* kdf_limits = nullptr;  // tests only, as in OutputContext
};

struct BatchOutcome {
  ExportResult Result = ExportResult::kFailed;
  bool LogFailed = false;  // written, and its My Number log record was not
  // The data set's employees: those the export covers (also when it stopped before the
  // extraction), else, for a data set that cannot be extracted, those its employee table holds;
  // nothing when neither can be read.
  std::optional<size_t> Employees;
  size_t WithProblems = 0;  // employees named in the error list
  std::string File;         // the path written, else empty
  // The company's individual numbers go (or were to go) into the file: written or checked with
  // them, or refused for want of the company's management password.
  bool MyNumber = false;
  std::string Message;  // every message of the data set, CR after each; none for a clean write
  std::vector<std::string> Problems;  // the error list when the employee data had problems
};

// Checks and exports (or only checks) one data set, as ExportDataSet does. Never raises.
BatchOutcome RunDataSet(const BatchDataSet& set, const BatchOptions& options);

// RunDataSet for each data set in turn, handing each outcome to `done` in the same order. A
// plain file is put in place on another thread while the next data set is exported, and its
// outcome handed on once it is: the wait for the disk overlaps that work, and an outcome never
// comes ahead of its file.
void RunDataSets(const std::vector<BatchDataSet>& sets, const BatchOptions& options,
                 const std::function<void(const BatchDataSet&, BatchOutcome)>& done);

// The run's exit status: that of its most severe data set, in this order: 4 any failed or was
// refused, 6 any written without its My Number log record, 5 any with problems, 3 any without
// employees (or nothing selected), 0 every data set written (or passed).
int BatchExitStatus(const std::vector<BatchOutcome>& outcomes);

}  // namespace nc16
