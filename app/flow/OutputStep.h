#pragma once
// The output step of the wizard's Finish, shared with the command-line export: builds the
// intermediate document (header and employees), writes it as plain XML or encrypted through the
// crypt library, records exports of individual numbers in the My Number log, and turns every
// failure into one message and a result code. No Qt here.
//
// A failure never leaves a partial file at the target path: plain files and encrypted files are
// both written to a temporary file and renamed into place. A target that exists in another
// letter case is replaced under its own name (platform::ResolvePathCase).

#include <cstdint>
#include <string>
#include <string_view>

#include "document/DataExportInfo.h"
#include "platform/MessageBox.h"

struct QvCryptKdfLimits;

namespace nc16 {

// Results of MakeIntermediateFile.
inline constexpr int kOutputWritten = 1;
inline constexpr int kOutputNoEmployee = 3;
inline constexpr int kOutputFailed = 4;
inline constexpr int kOutputProblemsFound = 5;

struct OutputContext {
  bool started_by_launcher = false;  // a launcher's key replaces the typed password
  std::string program_folder;        // CP932; the last fallback for a bare file name
  // The password hash's cost for the password form; null: the crypt library's default. Tests
  // make it cheap here, products never set it.
  const QvCryptKdfLimits* kdf_limits = nullptr;
  // Builds and validates the document but writes no file and no log record: a written result
  // then means the data set would export.
  bool validate_only = false;
};

// What the command line tells beyond the result; the wizard shows only its boxes.
struct OutputReport {
  size_t employees = 0;      // SYAIN elements of the document built
  bool log_failed = false;   // the file was written, its My Number log record was not
  int32_t crypt_result = 0;  // the crypt library's answer when it failed
  std::string cause;         // CP932: why else the file was not written, where no box said it
};

// Runs the output step for `info`; shows its own messages through `boxes` and returns one of
// the results above, filling `report` when given. Errors that are not exceptions of the
// standard hierarchy pass through.
int MakeIntermediateFile(TDataExportInfo& info, const OutputContext& context, MessageBoxes& boxes,
                         OutputReport* report = nullptr);

// True when the file name ends in an extension of a Paradox table's files, in any case: .DB
// (the table), .PX (primary index), .MB (memos), .Xnn and .Ynn (secondary indexes: nn is two
// hexadecimal digits, or G and one for composite indexes). The intermediate file never takes
// such a name, whether or not the file exists: over an existing one the export would destroy
// payroll data, and a new one beside a table of the same name would be read by the database
// engine as part of that table.
bool IsTableFileName(std::string_view file_name);

// The file page's warning for such a name.
const std::string& TableFileNameMessage();

// The folder part of FileName when it has one; otherwise the user's Documents folder when the
// system names one; otherwise Fallback.
std::string ResolveOutputFolder(std::string_view file_name, std::string_view fallback);

// FileName when it has a folder part, else the resolved folder, a separator and FileName.
std::string ResolveOutputPath(std::string_view file_name, std::string_view fallback);

}  // namespace nc16
