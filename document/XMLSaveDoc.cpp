#include "document/XMLSaveDoc.h"

#include <algorithm>
#include <stdexcept>

#include "platform/AtomicFile.h"
#include "platform/Cp932.h"

namespace nc16 {
namespace {

// The serialiser's own escaping. Values reach it already escaped once, so in practice only "&"
// is left to replace; the other characters are handled so that any tree serialises well-formed.
// Byte-wise matching is safe for CP932: none of these bytes can be a trail byte.
void AppendEscaped(std::string& out, std::string_view s) {
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char* entity = nullptr;
    switch (s[i]) {
      case '&':
        entity = "&amp;";
        break;
      case '<':
        entity = "&lt;";
        break;
      case '>':
        entity = "&gt;";
        break;
      case '"':
        entity = "&quot;";
        break;
      default:
        continue;
    }
    out.append(s.substr(start, i - start));
    out.append(entity);
    start = i + 1;
  }
  out.append(s.substr(start));
}

// The entity of a character that EscapeXmlText replaces, or null.
const char* EntityOf(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&apos;";
    default:
      return nullptr;
  }
}

// Appends S entity-escaped. One pass gives what replacing "&" first and then each of the other
// four characters in turn gives: no replacement creates a character that a later one would
// replace, and the "&" of an entity is never escaped again.
void AppendXmlEscaped(std::string& out, std::string_view s) {
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char* entity = EntityOf(s[i]);
    if (!entity) continue;
    out.append(s.substr(start, i - start));
    out.append(entity);
    start = i + 1;
  }
  out.append(s.substr(start));
}

uint32_t Checked32(size_t n) {
  if (n >= TXmlNode::kNone) throw std::length_error("intermediate document too large");
  return static_cast<uint32_t>(n);
}

}  // namespace

TXmlSaveDoc::TXmlSaveDoc(std::string_view version, std::string_view encoding,
                         std::string_view standalone) {
  declaration_ = "<?xml version=\"";
  AppendEscaped(declaration_, version);
  declaration_ += "\" encoding=\"";
  AppendEscaped(declaration_, encoding);
  declaration_ += '"';
  if (!standalone.empty()) {
    declaration_ += " standalone=\"";
    AppendEscaped(declaration_, standalone);
    declaration_ += '"';
  }
  declaration_ += "?>";
}

std::string TXmlSaveDoc::EscapeXmlText(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  AppendXmlEscaped(r, s);
  return r;
}

size_t TXmlSaveDoc::CountElements(std::string_view tag_name) const {
  auto it = name_ids_.find(tag_name);
  if (it == name_ids_.end()) return 0;
  return static_cast<size_t>(std::count_if(nodes_.begin(), nodes_.end(),
                                           [&](const Node& n) { return n.name == it->second; }));
}

uint32_t TXmlSaveDoc::Intern(std::string_view name) {
  // Names are a handful of fixed tags, looked up once per element: no allocation on a hit.
  auto it = name_ids_.find(name);
  if (it != name_ids_.end()) return it->second;
  uint32_t id = Checked32(names_.size());
  names_.push_back(EscapeXmlText(name));
  name_ids_.emplace(std::string(name), id);
  return id;
}

TXmlSaveDoc::Span TXmlSaveDoc::StoreText(std::string_view text) {
  size_t begin = pool_.size();
  if (!text_has_line_breaks_ && text.find_first_of("\r\n") != std::string_view::npos)
    text_has_line_breaks_ = true;
  AppendXmlEscaped(pool_, text);
  return {Checked32(begin), Checked32(pool_.size() - begin)};
}

uint32_t TXmlSaveDoc::NewElement(TXmlNode parent, std::string_view tag_name) {
  uint32_t parent_index = parent.IsNone() ? root_.index_ : parent.index_;
  if (parent_index == TXmlNode::kNone || parent_index >= nodes_.size())
    throw std::logic_error("XML element appended without a parent");
  uint32_t index = Checked32(nodes_.size());
  Node node{};
  node.name = Intern(tag_name);
  nodes_.push_back(node);
  Node& p = nodes_[parent_index];
  if (p.last_child == TXmlNode::kNone) {
    p.first_child = index;
  } else {
    nodes_[p.last_child].next_sibling = index;
  }
  p.last_child = index;
  return index;
}

bool TXmlSaveDoc::HasForbiddenControl(std::string_view value) {
  // Byte-wise is safe for CP932: a trail byte is never below 0x40.
  return std::any_of(value.begin(), value.end(), [](char c) {
    auto b = static_cast<unsigned char>(c);
    return b < 0x20 && b != '\t' && b != '\r' && b != '\n';
  });
}

void TXmlSaveDoc::CheckValue(uint32_t node, std::string_view attribute, std::string_view value) {
  if (!HasForbiddenControl(value)) return;
  // The tag as given: names are interned escaped, and the system's tags need no escaping.
  const std::string& element = names_[nodes_[node].name];
  if (!on_invalid_) {
    throw std::invalid_argument(SJ("XML に書けない制御文字を含む値です: ") + element +
                                (attribute.empty() ? "" : " " + std::string(attribute)));
  }
  if (first_invalid_.empty()) first_invalid_ = element;
  on_invalid_(element, attribute);
}

void TXmlSaveDoc::RefuseIfInvalid() const {
  if (!first_invalid_.empty())
    throw std::invalid_argument(SJ("XML に書けない制御文字を含む値です: ") + first_invalid_);
}

void TXmlSaveDoc::AddAttr(uint32_t node, std::string_view name, std::string_view value) {
  CheckValue(node, name, value);
  Node& n = nodes_[node];
  if (n.attr_count == 0) n.attr_begin = Checked32(attrs_.size());
  uint32_t name_id = Intern(name);
  Span value_span = StoreText(value);
  attrs_.push_back(Attr{name_id, value_span.begin, value_span.size});
  ++nodes_[node].attr_count;
}

TXmlNode TXmlSaveDoc::CreateRoot(std::string_view tag_name, std::string_view namespace_uri) {
  if (!root_.IsNone()) throw std::logic_error("XML root created twice");
  Node node{};
  node.name = Intern(tag_name);
  nodes_.push_back(node);
  root_ = TXmlNode(0);
  if (!namespace_uri.empty()) AddAttr(0, "xmlns", namespace_uri);
  return root_;
}

TXmlNode TXmlSaveDoc::AddElement(TXmlNode parent, std::string_view tag_name,
                                 std::string_view attr_name, std::string_view attr_value) {
  uint32_t index = NewElement(parent, tag_name);
  if (!attr_name.empty()) AddAttr(index, attr_name, attr_value);
  return TXmlNode(index);
}

void TXmlSaveDoc::AddTextElement(TXmlNode parent, std::string_view tag_name, std::string_view text,
                                 std::string_view attr_name, std::string_view attr_value) {
  if (parent.IsNone()) throw std::logic_error("XML text element appended without a parent");
  uint32_t index = NewElement(parent, tag_name);
  if (!attr_name.empty()) AddAttr(index, attr_name, attr_value);
  CheckValue(index, {}, text);
  Span text_span = StoreText(text);
  nodes_[index].text_begin = text_span.begin;
  nodes_[index].text_size = text_span.size;
}

TXmlNode TXmlSaveDoc::AddElementWithAttrs(TXmlNode parent, std::string_view tag_name,
                                          const TXmlNodeAttrs& attrs) {
  uint32_t index = NewElement(parent, tag_name);
  for (const auto& a : attrs)
    if (!a.Name.empty()) AddAttr(index, a.Name, a.Value);
  return TXmlNode(index);
}

void TXmlSaveDoc::Serialize(std::string& out,
                            const std::function<void(std::string&)>& flush) const {
  constexpr size_t kChunk = 1 << 20;
  out.clear();
  if (!flush) out.reserve(pool_.size() + nodes_.size() * 24 + 64);
  out += declaration_;
  out += "\r\n";
  if (root_.IsNone()) return;

  // Depth-first without recursion: the stack holds the elements whose end tag is still due.
  std::vector<uint32_t> open;
  uint32_t current = root_.index_;
  while (true) {
    if (flush && out.size() >= kChunk) flush(out);
    const Node& n = nodes_[current];
    const std::string& name = names_[n.name];
    out += '<';
    out += name;
    for (uint32_t a = n.attr_begin; a < n.attr_begin + n.attr_count; ++a) {
      out += ' ';
      out += names_[attrs_[a].name];
      out += "=\"";
      AppendEscaped(out,
                    std::string_view(pool_).substr(attrs_[a].value_begin, attrs_[a].value_size));
      out += '"';
    }
    if (n.first_child != TXmlNode::kNone) {
      out += '>';
      open.push_back(current);
      current = n.first_child;
      continue;
    }
    if (n.text_size > 0) {
      out += '>';
      AppendEscaped(out, std::string_view(pool_).substr(n.text_begin, n.text_size));
      out += "</";
      out += name;
      out += '>';
    } else {
      out += "/>";
    }
    // Climb until an element with a next sibling is found.
    uint32_t next = n.next_sibling;
    while (next == TXmlNode::kNone && !open.empty()) {
      uint32_t parent = open.back();
      open.pop_back();
      out += "</";
      out += names_[nodes_[parent].name];
      out += '>';
      next = open.empty() ? TXmlNode::kNone : nodes_[parent].next_sibling;
    }
    if (next == TXmlNode::kNone) break;
    current = next;
  }
  out += "\r\n";
}

void TXmlSaveDoc::SaveToFile(std::string_view file_name) const {
  RefuseIfInvalid();
  // Written in chunks as it is serialised, so a large document is never held twice.
  AtomicFile file(NativePath(file_name));
  std::string chunk;
  Serialize(chunk, [&](std::string& bytes) {
    file.Write(bytes);
    bytes.clear();
  });
  file.Write(chunk);
  file.Commit();
}

std::string TXmlSaveDoc::GetXmlText() const {
  RefuseIfInvalid();
  std::string serialized;
  Serialize(serialized, nullptr);
  // The serialiser ends its own lines with CR LF; only texts can bring other line breaks.
  if (!text_has_line_breaks_) return serialized;
  // Every line ends with CR LF: a CR, an LF or a CR LF inside the document becomes CR LF, and
  // the last line gets one too.
  std::string out;
  out.reserve(serialized.size() + 2);
  for (size_t i = 0; i < serialized.size(); ++i) {
    char c = serialized[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < serialized.size() && serialized[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  if (!out.ends_with("\r\n")) out += "\r\n";
  return out;
}

}  // namespace nc16
