// The header of the intermediate document: the root REPORT with SYSTEM and BASIC.

#include <string>

#include "document/DataExportInfo.h"
#include "document/EDataExportError.h"
#include "platform/Cp932.h"

namespace nc16 {

void TDataExportInfo::SetSystemNode(TXmlSaveDoc& doc) {
  // The dotted version drops the first digit of REVISION: 7, 01, 002 give 7.01.02.
  std::string revision = VersionRevision.size() > 1 ? VersionRevision.substr(1, 2) : "";
  SourceVersion = VersionMajor + "." + VersionMinor + "." + revision;

  doc.CreateRoot("REPORT", "");
  CurrentNode = doc.AddElement(TXmlNode(), "SYSTEM");
  doc.AddTextElement(CurrentNode, "GYOUMUPREFIX", BusinessPrefix);
  doc.AddTextElement(CurrentNode, "VERSION", std::to_string(HeaderVersion));
  doc.AddTextElement(CurrentNode, "FUNCTIONID", std::to_string(FunctionId));
  doc.AddTextElement(CurrentNode, "CONNECTEDPROGRAMVER", ConnectedProgramVer);
  doc.AddTextElement(CurrentNode, "PROGRAMNAME", SourceProductName);
  doc.AddTextElement(CurrentNode, "PROGRAMVER", SourceVersion);
}

void TDataExportInfo::SetBasicNode(TXmlSaveDoc& doc) {
  CurrentNode = doc.AddElement(TXmlNode(), "BASIC");
  doc.AddTextElement(CurrentNode, "KOMONSAKINAME", CompanyName);
  if (BusinessPrefix != "NC16") {
    throw EDataExportError(SJ("業務Prefixが条件に加えられていません。"),
                           SJ("SetBasicNode(BASICﾉｰﾄﾞを作成)"), EDataExportError::kUnknownPrefix);
  }
  doc.AddTextElement(CurrentNode, "SINKOKUNENDO", std::to_string(FilingYear));
  doc.AddTextElement(CurrentNode, "MODE", Mode);
}

}  // namespace nc16
