#pragma once
// Exporting one data set: the one operation behind the wizard's Finish, `nc16 export`,
// `nc16 check` and every data set of `nc16 export --all`. It applies the rules of the wizard's
// pages to what it is given (the data-set check, the My Number password, the file's name and
// password), runs the output step and hands back how it all ended, with every message the
// wizard would show, in order. It shows nothing itself: each front end presents the outcome its
// own way (message boxes, stderr, a summary line and the report). No Qt here. Texts are CP932.
//
// The export runs on connections of its own, named as the wizard's pages name theirs: a page's
// connection must be closed (DataSetCheck::Disconnect) before an export of the same process.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/flow/ExportResults.h"
#include "document/DataExportInfo.h"
#include "platform/AtomicFile.h"
#include "platform/MessageBox.h"

struct QvCryptKdfLimits;

namespace nc16 {

// Individual numbers, as the caller asks for them.
enum class IndividualNumbers {
  kWithout,    // never
  kWith,       // always: a company without My Number is refused
  kWhereUsed,  // for the companies that use My Number, a plain file for the others
};

// A secret the caller may ask for only when the export gets to it (a prompt at the terminal);
// nullopt: nothing was entered.
using SecretQuestion = std::function<std::optional<std::string>()>;

struct ExportRequest {
  std::string DataSet;  // the data-list Holder of the data set, or its folder
  IndividualNumbers MyNumber = IndividualNumbers::kWithout;
  std::optional<std::string> ManagementPassword;  // the company's My Number management password
  SecretQuestion AskManagementPassword;           // asked when it is needed and not given

  // The output. Started alone: the file (a bare name lies in the Documents folder, else in the
  // home folder) and, with individual numbers, its encryption password. By a launcher: the file
  // exactly as named, always encrypted with the launcher's key.
  std::string OutputFile;
  // The name's extension follows the My Number choice, as the file page offers a remembered
  // name (OfferedFileName); the wizard's own page has applied that already.
  bool FitExtension = false;
  std::optional<std::string> Password;
  SecretQuestion AskPassword;
  std::optional<std::string> LauncherKey;  // Base64: the launcher's form
  int32_t FunctionId = 0;                  // the launcher's caller id

  // What the export remembers in DataSelect.ini when it ends, whatever the outcome: the single
  // export of the command line remembers the data set and the file as the wizard does; the
  // wizard itself remembers through its own settings, the batch and the checks nothing.
  Remembering Remember = Remembering::kNothing;

  bool ValidateOnly = false;  // check everything, build the document, write nothing
  // A plain file is left to the caller whole, not yet in place (ExportOutcome::PlainFile): a
  // batch puts it in place with PlaceLeftFile while it exports the next data set.
  bool LeavePlainFile = false;
  const QvCryptKdfLimits* KdfLimits = nullptr;  // tests only: a cheap password hash
};

struct ExportOutcome {
  ExportResult Result = ExportResult::kFailed;
  // The messages of the export as the wizard would show them, in order: the checks' warnings,
  // the output step's boxes. The closing message is the front end's (CodesOf, texts).
  Messages Shown;
  std::string Cause;  // a line of its own saying why, where no message does (the system's reason)
  std::string File;   // the file written, as the file system spells it; empty otherwise
  bool MyNumber = false;  // individual numbers exported (or, in a check, checked)
  // The employees the export covered, once the extraction has run to its end.
  std::optional<size_t> Employees;
  bool LogFailed = false;             // the file was written and its My Number log record was not
  std::vector<std::string> Problems;  // the error list, when employee data had problems
  // The plain file of a written export that was asked to leave it (LeavePlainFile): whole, to
  // be put in place as File by PlaceLeftFile.
  std::unique_ptr<AtomicFile> PlainFile;
};

// Exports (or checks) the data set of `request`. What the data, the files or the system do wrong
// is in the outcome; what the questions raise passes through, as does an error that no step
// expects.
ExportOutcome ExportDataSet(const ExportRequest& request);

// Puts the plain file an export left (outcome.PlainFile) in place. When that fails, the outcome
// becomes the one the export would have had failing there itself: kFailed, with the system's
// reason. Nothing to do without such a file.
void PlaceLeftFile(ExportOutcome& outcome);

}  // namespace nc16
