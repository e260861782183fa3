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
  mutable std::unique_ptr<XmlQuery> query;

  // Parsed on first use: the XML parser's Shift_JIS lacks the NEC and IBM extensions, which
  // some tests write and read by their bytes.
  const XmlQuery& q() const {
    if (!query) query = std::make_unique<XmlQuery>(xml);
    return *query;
  }
  // The texts of every element `tag` in document order, as the bytes written (for texts that
  // need no escaping).
  std::vector<std::string> RawTexts(const std::string& tag) const {
    std::vector<std::string> texts;
    const std::string open = "<" + tag + ">", close = "</" + tag + ">";
    for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at)) {
      at += open.size();
      texts.push_back(xml.substr(at, xml.find(close, at) - at));
    }
    return texts;
  }
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
