#pragma once
// How an export ended, and what each front end makes of it: the command line's exit status, the
// notification a launcher receives, and the word of the batch's summary. The one table of those
// codes; no front end keeps numbers of its own.

#include <cstdint>
#include <string_view>

namespace nc16 {

enum class ExportResult {
  kWritten,         // the file was written (or, for a check, would be)
  kNoEmployee,      // the data set has no employee to export
  kProblems,        // employee data failed validation: the error list says which
  kDataSetRefused,  // the data-set check refused the data set
  kRequestRefused,  // a page's rule refused what was asked: the password, the file's name
  // The company uses My Number and no management password was given at all (not even an
  // empty one): the batch's passwords file has no line for the data set.
  kNoManagementPassword,
  kFailed,  // the output step failed: the file was not written
};

struct ResultCodes {
  int exit_status;          // nc16 export, nc16 check --data-folder
  int32_t launcher_result;  // lParam of the launcher's notification
  std::string_view word;    // the summary's result; "ok" stands for "written" in a check
  int severity;             // the batch's exit status is that of its most severe data set
};

// The codes of an outcome. A written file whose My Number log record failed has its own status
// and word: the audit trail of individual numbers has a gap. The launcher is told of the file
// alone, as the wizard tells it.
const ResultCodes& CodesOf(ExportResult result, bool log_failed = false);

// The exit status of the command line when the program cannot even start an export: the
// installation, the list or the arguments' files fail.
inline constexpr int kExitFailure = 4;
inline constexpr int kExitUsage = 2;
// A batch that selected no data set.
inline constexpr int kExitNothingSelected = 3;

}  // namespace nc16
