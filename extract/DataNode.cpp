// TDataExportInfo::SetDataNode: the employees of the document, written by the extraction. It
// lives with the extraction, which it drives; the rest of TDataExportInfo is in document/.

#include "document/DataExportInfo.h"
#include "document/EDataExportError.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"

namespace nc16 {

void TDataExportInfo::SetDataNode(TXmlSaveDoc& doc) {
  ErrorList scratch;  // the list nobody shows, when no window owns one
  ErrorList& errors = Errors ? *Errors : scratch;
  int result;
  {
    TNenchoDataMake maker(DataFolder, errors);
    result = maker.MakeData(doc, IncludeMyNumber);
  }
  if (result == TNenchoDataMake::kNoEmployee)
    throw EDataExportError(SJ("社員が登録されていません。"), "", 16);
  if (result == TNenchoDataMake::kProblemsFound)
    throw EDataExportError(SJ("社員情報に問題が見つかりました。"), "", 1);
}

}  // namespace nc16
