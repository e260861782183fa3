#include "document/XMLSaveDoc.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "document/CrLfLines.h"
#include "platform/Cp932.h"
#include "tests/XmlShiftJis.h"

namespace nc16 {
namespace {

// Parses bytes with libxml2, honouring the Shift_JIS declaration, and gives the tree back as
// UTF-8 text; the tests compare what an importing parser sees.
struct Parsed {
  xmlDocPtr doc;
  explicit Parsed(const std::string& bytes)
      : doc((nc16::testing::EnsureShiftJisDecoder(),
             xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "doc.xml", nullptr,
                           XML_PARSE_NONET))) {}
  ~Parsed() { xmlFreeDoc(doc); }
  xmlNodePtr Root() const { return xmlDocGetRootElement(doc); }
};

xmlNodePtr Child(xmlNodePtr n, const char* name) {
  for (xmlNodePtr c = n->children; c; c = c->next)
    if (c->type == XML_ELEMENT_NODE && std::string(reinterpret_cast<const char*>(c->name)) == name)
      return c;
  return nullptr;
}

std::string Content(xmlNodePtr n) {
  xmlChar* s = xmlNodeGetContent(n);
  std::string r = s ? reinterpret_cast<const char*>(s) : "";
  xmlFree(s);
  return r;
}

std::string Attr(xmlNodePtr n, const char* name) {
  xmlChar* s = xmlGetProp(n, reinterpret_cast<const xmlChar*>(name));
  std::string r = s ? reinterpret_cast<const char*>(s) : "<none>";
  xmlFree(s);
  return r;
}

TXmlSaveDoc NewDoc() {
  return TXmlSaveDoc("1.0", "Shift_JIS", "");
}

TEST(XMLSaveDoc, DeclarationAndSkeleton) {
  TXmlSaveDoc doc("1.0", "Shift_JIS", "");
  TXmlNode root = doc.CreateRoot("REPORT", "");
  TXmlNode sys = doc.AddElement(TXmlNode(), "SYSTEM");
  doc.AddTextElement(sys, "GYOUMUPREFIX", "NC16");
  doc.AddElement(root, "DATA");
  EXPECT_EQ(doc.GetXmlText(),
            "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
            "<REPORT><SYSTEM><GYOUMUPREFIX>NC16</GYOUMUPREFIX></SYSTEM><DATA/></REPORT>\r\n");

  TXmlSaveDoc standalone("1.0", "Shift_JIS", "yes");
  standalone.CreateRoot("R", "");
  EXPECT_TRUE(standalone.GetXmlText().starts_with(
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>\r\n"));
}

TEST(XMLSaveDoc, ValuesAreEscapedTwiceInTheFile) {
  TXmlSaveDoc doc("1.0", "Shift_JIS", "");
  TXmlNode root = doc.CreateRoot("REPORT", "");
  doc.AddTextElement(root, "NAME", "A&B");
  doc.AddTextElement(root, "CMP", "1<2>0");
  doc.AddElement(root, "Q", "V", "say \"hi\" it's");
  std::string text = doc.GetXmlText();
  EXPECT_NE(text.find("<NAME>A&amp;amp;B</NAME>"), std::string::npos);
  EXPECT_NE(text.find("<CMP>1&amp;lt;2&amp;gt;0</CMP>"), std::string::npos);
  EXPECT_NE(text.find("<Q V=\"say &amp;quot;hi&amp;quot; it&amp;apos;s\"/>"), std::string::npos);

  // An XML parser gets the once-escaped text back.
  Parsed p(text);
  ASSERT_NE(p.doc, nullptr);
  EXPECT_EQ(Content(Child(p.Root(), "NAME")), "A&amp;B");
  EXPECT_EQ(Content(Child(p.Root(), "CMP")), "1&lt;2&gt;0");
  EXPECT_EQ(Attr(Child(p.Root(), "Q"), "V"), "say &quot;hi&quot; it&apos;s");
}

TEST(XMLSaveDoc, JapaneseTextIsWrittenAsShiftJisBytes) {
  TXmlSaveDoc doc = NewDoc();
  TXmlNode root = doc.CreateRoot("REPORT", "");
  std::string name = Utf8ToCp932("株式会社ﾃｽﾄ＆表示");  // 表 has the trail byte 0x5C
  doc.AddTextElement(root, "KOMONSAKINAME", name);
  std::string text = doc.GetXmlText();
  EXPECT_NE(text.find(name), std::string::npos);
  Parsed p(text);
  ASSERT_NE(p.doc, nullptr);
  EXPECT_EQ(Content(Child(p.Root(), "KOMONSAKINAME")), "株式会社ﾃｽﾄ＆表示");
}

TEST(XMLSaveDoc, AttributesAndEmptyElements) {
  TXmlSaveDoc doc = NewDoc();
  TXmlNode root = doc.CreateRoot("REPORT", "");
  doc.AddTextElement(root, "EMPTY", "");
  doc.AddElement(root, "NOATTR", "", "ignored");
  doc.AddElement(root, "EMPTYVAL", "K", "");
  doc.AddElementWithAttrs(root, "SYAIN", {{"CODE", "001"}, {"", "skipped"}, {"NAME", "x"}});
  doc.AddElementWithAttrs(root, "NONE", {});
  std::string text = doc.GetXmlText();
  EXPECT_NE(text.find("<EMPTY/>"), std::string::npos);
  EXPECT_NE(text.find("<NOATTR/>"), std::string::npos);
  EXPECT_NE(text.find("<EMPTYVAL K=\"\"/>"), std::string::npos);
  EXPECT_NE(text.find("<SYAIN CODE=\"001\" NAME=\"x\"/>"), std::string::npos);
  EXPECT_NE(text.find("<NONE/>"), std::string::npos);
}

TEST(XMLSaveDoc, GetXmlTextEndsEveryLineWithCrLf) {
  TXmlSaveDoc doc = NewDoc();
  TXmlNode root = doc.CreateRoot("REPORT", "");
  doc.AddTextElement(root, "MEMO", "a\rb\nc\r\nd");
  std::string text = doc.GetXmlText();
  EXPECT_TRUE(text.ends_with("\r\n"));
  EXPECT_NE(text.find("<MEMO>a\r\nb\r\nc\r\nd</MEMO>"), std::string::npos);
  EXPECT_EQ(text.find('\0'), std::string::npos);
  // No bare LF or CR anywhere.
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      EXPECT_TRUE(i > 0 && text[i - 1] == '\r');
    }
    if (text[i] == '\r') {
      EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n');
    }
  }
}

// The encrypted text is rewritten piece by piece as it streams: a CR LF that a piece boundary
// splits stays one line end.
TEST(XMLSaveDoc, LineEndsAreRewrittenAcrossPieces) {
  const std::string text = "a\r\nb\rc\nd\r";
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    CrLfLines lines;
    std::string out;
    lines.Append(out, std::string_view(text).substr(0, cut));
    lines.Append(out, std::string_view(text).substr(cut));
    lines.Finish(out);
    EXPECT_EQ(out, "a\r\nb\r\nc\r\nd\r\n") << "cut at " << cut;
  }
}

TEST(XMLSaveDoc, SaveToFileWritesTheSameBytesAndReplacesAtomically) {
  auto dir = std::filesystem::temp_directory_path() / ("xmlsave-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  TXmlSaveDoc doc = NewDoc();
  TXmlNode root = doc.CreateRoot("REPORT", "");
  doc.AddTextElement(root, "A", "1");
  auto file = dir / "out.xml";
  { std::ofstream(file) << "old content that is longer than the new document ........"; }
  doc.SaveToFile(FromNativePath(file));
  std::stringstream ss;
  ss << std::ifstream(file, std::ios::binary).rdbuf();
  EXPECT_EQ(ss.str(), doc.GetXmlText());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);

  // A folder that does not exist: an error naming the file, nothing written.
  EXPECT_THROW(doc.SaveToFile(FromNativePath(dir / "missing" / "out.xml")), std::exception);
  std::filesystem::remove_all(dir);
}

TEST(XMLSaveDoc, CallerErrorsAreRefused) {
  TXmlSaveDoc doc = NewDoc();
  EXPECT_THROW(doc.AddElement(TXmlNode(), "X"), std::logic_error);
  doc.CreateRoot("R", "");
  EXPECT_THROW(doc.AddTextElement(TXmlNode(), "X", "t"), std::logic_error);
  EXPECT_THROW(doc.CreateRoot("R2", ""), std::logic_error);
}

TEST(XMLSaveDoc, ControlCharactersXmlCannotCarryAreRefused) {
  // Tab, CR and LF are characters of XML; the other controls below 0x20 are not.
  TXmlSaveDoc plain = NewDoc();
  TXmlNode root = plain.CreateRoot("R", "");
  plain.AddTextElement(root, "OK", "a\tb\r\nc");
  EXPECT_THROW(plain.AddTextElement(root, "KOMONSAKINAME", std::string("a\0b", 3)),
               std::invalid_argument);
  EXPECT_THROW(plain.AddElement(root, "E", "CODE", "\x1b"), std::invalid_argument);

  // With a handler every such value is reported and the document refuses to be written.
  TXmlSaveDoc doc = NewDoc();
  std::vector<std::string> reported;
  doc.SetInvalidValueHandler([&](std::string_view element, std::string_view attribute) {
    reported.push_back(std::string(element) + "/" + std::string(attribute));
  });
  root = doc.CreateRoot("R", "");
  doc.AddElementWithAttrs(root, "SYAIN", {{"CODE", "1"}, {"NAME", "x\x01"}});
  doc.AddTextElement(root, "JUUSYO_1", "\x1f");
  doc.AddTextElement(root, "JUUSYO_2", "\x7f ok");
  EXPECT_EQ(reported, (std::vector<std::string>{"SYAIN/NAME", "JUUSYO_1/"}));
  EXPECT_THROW(doc.GetXmlText(), std::invalid_argument);
  const auto file = std::filesystem::temp_directory_path() /
                    ("xmlsave-control-" + std::to_string(::getpid()) + ".xml");
  EXPECT_THROW(doc.SaveToFile(FromNativePath(file)), std::invalid_argument);
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(XMLSaveDoc, DeepAndWideTreesSerialiseInOrder) {
  TXmlSaveDoc doc = NewDoc();
  TXmlNode root = doc.CreateRoot("R", "");
  TXmlNode a = doc.AddElement(root, "A");
  TXmlNode b = doc.AddElement(a, "B");
  doc.AddTextElement(b, "C", "1");
  doc.AddTextElement(a, "E", "2");  // appended to A after B was filled
  doc.AddElement(root, "D");
  EXPECT_NE(doc.GetXmlText().find("<R><A><B><C>1</C></B><E>2</E></A><D/></R>"), std::string::npos);
  EXPECT_EQ(doc.CountElements("C"), 1u);
  EXPECT_EQ(doc.ElementCount(), 6u);
}

// An element is written once a later sibling of it or of an ancestor starts: touching it then
// would put bytes out of order, which a debug build stops at once.
TEST(XMLSaveDoc, AFinishedElementCannotBeTouched) {
  auto touch_after_sibling = [] {
    TXmlSaveDoc doc = NewDoc();
    TXmlNode root = doc.CreateRoot("R", "");
    TXmlNode a = doc.AddElement(root, "A");
    doc.AddElement(root, "D");
    doc.AddTextElement(a, "E", "2");
  };
#ifdef NDEBUG
  EXPECT_THROW(touch_after_sibling(), std::logic_error);
#else
  EXPECT_DEATH(touch_after_sibling(), "already written");
#endif
}

// With a sink the document goes out in pieces as it is built, the same bytes as SaveToFile's,
// and only what is still open is held.
TEST(XMLSaveDoc, ASinkReceivesTheDocumentAsItIsBuilt) {
  auto build = [](TXmlSaveDoc& doc) {
    TXmlNode root = doc.CreateRoot("REPORT", "");
    TXmlNode data = doc.AddElement(root, "DATA");
    for (int i = 0; i < 3000; ++i) {
      TXmlNode syain = doc.AddElementWithAttrs(data, "SYAIN", {{"CODE", std::to_string(i)}});
      TXmlNode group = doc.AddElement(syain, "KIHON_JOUHOU");
      doc.AddTextElement(group, "NAME", std::string(200, 'x') + "&<>\"'");
      doc.AddTextElement(group, "EMPTY", "");
    }
  };
  TXmlSaveDoc whole = NewDoc();
  build(whole);
  std::string streamed;
  size_t pieces = 0;
  TXmlSaveDoc doc("1.0", "Shift_JIS", "", [&](std::string_view bytes) {
    streamed += bytes;
    ++pieces;
  });
  build(doc);
  EXPECT_GT(pieces, 1u);
  // Before the end, all but less than a piece has reached the sink already.
  EXPECT_LT(whole.GetXmlText().size() - streamed.size(), TXmlSaveDoc::kSinkPiece + 1024);
  EXPECT_EQ(doc.CountElements("SYAIN"), 3000u);
  doc.Finish();
  EXPECT_EQ(streamed, whole.GetXmlText());
  EXPECT_THROW(doc.AddElement(TXmlNode(), "LATE"), std::logic_error);
}

}  // namespace
}  // namespace nc16
