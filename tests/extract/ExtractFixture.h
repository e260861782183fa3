#pragma once
// Runs the extraction over a data set written to disk and reads the result back.

#include <memory>
#include <string>

#include "document/XMLSaveDoc.h"
#include "extract/ErrorList.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"
#include "tests/extract/DataSetBuilder.h"
#include "tests/extract/XmlQuery.h"

namespace nc16::test {

struct ExportResult {
  int result = 0;
  std::string xml;  // GetXmlText of the document
  ErrorList errors;
  std::unique_ptr<XmlQuery> query;

  const XmlQuery& q() const { return *query; }
  // The error list as UTF-8 lines.
  std::vector<std::string> ErrorLines() const {
    std::vector<std::string> lines;
    for (const auto& l : errors.Lines)
      lines.push_back(Cp932ToUtf8(l));
    return lines;
  }
};

inline ExportResult RunExtraction(const DataSetBuilder& data, int my_number_option = 0) {
  TempFolder folder;
  data.Write(folder.Path());
  TXmlSaveDoc doc("1.0", "Shift_JIS", "");
  doc.CreateRoot("REPORT", "");
  ExportResult r;
  {
    TNenchoDataMake maker(FromNativePath(folder.Path()), r.errors);
    r.result = maker.MakeData(doc, my_number_option);
  }
  r.xml = doc.GetXmlText();
  r.query = std::make_unique<XmlQuery>(r.xml);
  return r;
}

// XPath of a section of the n-th employee (1-based).
inline std::string Section(int employee, const std::string& path) {
  return "/REPORT/DATA/SYAIN[" + std::to_string(employee) + "]/" + path;
}
inline std::string Personal(const std::string& element, int employee = 1) {
  return Section(employee, "KIHON_JOUHOU/HONNNIN_JOUHOU/" + element);
}

}  // namespace nc16::test
