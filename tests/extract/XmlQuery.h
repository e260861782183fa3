#pragma once
// Reads an intermediate document back the way the importing product does: parsed as Shift_JIS
// by libxml2, with XPath to pick elements. Results are UTF-8.

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/XmlShiftJis.h"

namespace nc16::test {

class XmlQuery {
 public:
  explicit XmlQuery(const std::string& bytes)
      : doc_((nc16::testing::EnsureShiftJisDecoder(),
              xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "doc.xml", nullptr,
                            XML_PARSE_NONET))) {
    if (!doc_) throw std::runtime_error("document is not well-formed XML");
    ctx_ = xmlXPathNewContext(doc_);
  }
  ~XmlQuery() {
    xmlXPathFreeContext(ctx_);
    xmlFreeDoc(doc_);
  }
  XmlQuery(const XmlQuery&) = delete;
  XmlQuery& operator=(const XmlQuery&) = delete;

  // The nodes an XPath selects.
  std::vector<xmlNodePtr> Nodes(const std::string& xpath) const {
    std::vector<xmlNodePtr> out;
    xmlXPathObjectPtr r =
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(xpath.c_str()), ctx_);
    if (r && r->nodesetval)
      for (int i = 0; i < r->nodesetval->nodeNr; ++i)
        out.push_back(r->nodesetval->nodeTab[i]);
    xmlXPathFreeObject(r);
    return out;
  }
  size_t Count(const std::string& xpath) const { return Nodes(xpath).size(); }

  // The text of the one node selected; "<missing>" when none is.
  std::string Text(const std::string& xpath) const {
    auto nodes = Nodes(xpath);
    if (nodes.empty()) return "<missing>";
    xmlChar* s = xmlNodeGetContent(nodes.front());
    std::string r = s ? reinterpret_cast<const char*>(s) : "";
    xmlFree(s);
    return r;
  }

  // The names of the child elements of the one node selected, in order.
  std::vector<std::string> Children(const std::string& xpath) const {
    std::vector<std::string> names;
    auto nodes = Nodes(xpath);
    if (nodes.empty()) return names;
    for (xmlNodePtr c = nodes.front()->children; c; c = c->next)
      if (c->type == XML_ELEMENT_NODE) names.emplace_back(reinterpret_cast<const char*>(c->name));
    return names;
  }

 private:
  xmlDocPtr doc_;
  xmlXPathContextPtr ctx_ = nullptr;
};

}  // namespace nc16::test
