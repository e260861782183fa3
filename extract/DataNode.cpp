// TDataExportInfo::SetDataNode: the employees of the document, written by the extraction. It
// lives with the extraction, which it drives; the rest of TDataExportInfo is in document/.

#include "document/DataExportInfo.h"
#include "document/EDataExportError.h"
#include "document/Texts.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"

namespace nc16 {

void TDataExportInfo::SetDataNode(TXmlSaveDoc& doc) {
  ErrorList scratch;  // the list nobody shows, when no window owns one
  ErrorList& errors = Errors ? *Errors : scratch;
  int result;
  std::string changed_file;
  {
    TNenchoDataMake maker(DataFolder, errors);
    result = maker.MakeData(doc, IncludeMyNumber);
    changed_file = maker.ChangedTableFile();
  }
  if (result == TNenchoDataMake::kDataChanged)
    throw EDataExportError(texts::DataChangedWhileRead(), changed_file,
                           EDataExportError::kDataChanged);
  if (result == TNenchoDataMake::kNoEmployee)
    throw EDataExportError(texts::NoEmployee(), "", EDataExportError::kNoEmployee);
  if (result == TNenchoDataMake::kProblemsFound)
    throw EDataExportError(texts::EmployeeProblems(), "", EDataExportError::kProblemsFound);
}

}  // namespace nc16
