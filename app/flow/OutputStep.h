#pragma once
// The output step: builds the intermediate document (header and employees), writes it as plain
// XML or encrypted through the crypt library, and records an export of individual numbers in the
// My Number log. Its result and its messages come back as a value.
//
// The document streams to the file as it is built (a temporary file beside the target, plain or
// encrypted, owner-only) and is renamed into place only once it is whole and the extraction found
// employees and no problems: a failure never leaves a partial file or a temporary one.

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/flow/ExportResults.h"
#include "document/DataExportInfo.h"
#include "platform/AtomicFile.h"
#include "platform/MessageBox.h"

struct QvCryptKdfLimits;

namespace nc16 {

struct OutputContext {
  std::string target;        // the file to write, CP932, as the file system spells it
  bool by_launcher = false;  // encrypted with the launcher's key: Password holds its Base64 text
  // The password hash's cost for the password form; null: the crypt library's default. Tests
  // make it cheap here, products never set it.
  const QvCryptKdfLimits* kdf_limits = nullptr;
  // Builds and validates the document but writes no file and no log record: a written result
  // then means the data set would export.
  bool validate_only = false;
  // A plain file is not put in place here: it comes back in the result whole, for the caller to
  // Commit (the batch does that while it exports the next data set).
  bool leave_plain_file = false;
};

struct OutputStepResult {
  // kWritten, kNoEmployee, kProblems or kFailed.
  ExportResult result = ExportResult::kFailed;
  Messages shown;  // the step's messages, in order
  // The employees in the document, once the extraction has run to its end (also when it found
  // no employee or problems); nothing when it did not.
  std::optional<size_t> employees;
  bool log_failed = false;   // the file was written, its My Number log record was not
  int32_t crypt_result = 0;  // the crypt library's answer when it failed
  std::string cause;         // CP932: why else the file was not written, where no message says
  std::unique_ptr<AtomicFile> plain_file;  // written, left to the caller (leave_plain_file)
};

// The step's message for a failure that no other message explains (the system's words).
Message StepFailure(const std::exception& e);

// Runs the output step for `info`, whose DataFolder, header fields, IncludeMyNumber and Password
// are set; the extraction's error list goes to info.Errors. Errors that are not exceptions of the
// standard hierarchy pass through.
OutputStepResult MakeIntermediateFile(TDataExportInfo& info, const OutputContext& context);

// The folder part of FileName when it has one; otherwise the user's Documents folder when it
// exists; otherwise the user's home folder (empty when even that is unknown).
std::string ResolveOutputFolder(std::string_view file_name);

// FileName when it has a folder part, else the resolved folder, a separator and FileName.
std::string ResolveOutputPath(std::string_view file_name);

}  // namespace nc16
