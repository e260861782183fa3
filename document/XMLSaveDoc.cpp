#include "document/XMLSaveDoc.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>

#include "document/CrLfLines.h"
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

// Appends S as the file carries a value: escaped by EscapeXmlText and then by the serialiser,
// in one pass. The first escaping leaves no "<", ">" or double quote and only the "&" of its
// entities, so each source character maps straight to its twice-escaped form.
void AppendTwiceEscaped(std::string& out, std::string_view s) {
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char* entity = EntityOf(s[i]);
    if (!entity) continue;
    out.append(s.substr(start, i - start));
    out += "&amp;";
    out.append(entity + 1);
    start = i + 1;
  }
  out.append(s.substr(start));
}

}  // namespace

TXmlSaveDoc::TXmlSaveDoc(std::string_view version, std::string_view encoding,
                         std::string_view standalone, Sink sink)
    : sink_(std::move(sink)) {
  // A streamed document's text never grows much past one piece: room for it from the start
  // spares the copies of a growing buffer, for every document of a batch anew.
  if (sink_) out_.reserve(kSinkPiece + kSinkPiece / 4);
  out_ += "<?xml version=\"";
  AppendEscaped(out_, version);
  out_ += "\" encoding=\"";
  AppendEscaped(out_, encoding);
  out_ += '"';
  if (!standalone.empty()) {
    out_ += " standalone=\"";
    AppendEscaped(out_, standalone);
    out_ += '"';
  }
  out_ += "?>\r\n";
}

std::string TXmlSaveDoc::EscapeXmlText(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  AppendXmlEscaped(r, s);
  return r;
}

size_t TXmlSaveDoc::CountElements(std::string_view tag_name) const {
  auto it = name_ids_.find(tag_name);
  return it == name_ids_.end() ? 0 : name_counts_[it->second];
}

uint32_t TXmlSaveDoc::Intern(std::string_view name) {
  // Names are a handful of fixed tags, given again and again from the producers' constants:
  // found by where the text lies, and trusted only when it is byte for byte the one stored.
  CachedName& slot =
      name_cache_[(reinterpret_cast<uintptr_t>(name.data()) >> 3) % name_cache_.size()];
  if (slot.data == name.data() && slot.name == name) return slot.id;
  uint32_t id;
  if (auto it = name_ids_.find(name); it != name_ids_.end()) {
    id = it->second;
  } else {
    id = static_cast<uint32_t>(names_.size());
    names_.push_back(EscapeXmlText(name));
    name_counts_.push_back(0);
    name_ids_.emplace(std::string(name), id);
  }
  slot.data = name.data();
  slot.name.assign(name);
  slot.id = id;
  return id;
}

void TXmlSaveDoc::CloseDownTo(size_t depth) {
  while (open_.size() > depth) {
    const Open& e = open_.back();
    if (e.has_children) {
      out_ += "</";
      out_ += names_[e.name];
      out_ += '>';
    } else {
      out_ += "/>";
    }
    open_.pop_back();
  }
}

uint32_t TXmlSaveDoc::StartElement(TXmlNode parent, std::string_view tag_name, uint32_t& name_id) {
  if (finished_) throw std::logic_error("XML element appended to a finished document");
  const uint32_t parent_index = parent.IsNone() ? root_.index_ : parent.index_;
  if (parent_index == TXmlNode::kNone || parent_index >= element_count_)
    throw std::logic_error("XML element appended without a parent");
  size_t depth = open_.size();
  while (depth > 0 && open_[depth - 1].index != parent_index)
    --depth;
  // The parent was finished when a later sibling of it or of an ancestor was appended: its
  // bytes are written, and appending now would put the element out of order.
  assert(depth > 0 && "XML element appended to an element already written");
  if (depth == 0) throw std::logic_error("XML element appended to an element already written");
  CloseDownTo(depth);
  Open& p = open_.back();
  if (!p.has_children) {
    out_ += '>';
    p.has_children = true;
  }
  name_id = Intern(tag_name);
  ++name_counts_[name_id];
  out_ += '<';
  out_ += names_[name_id];
  return static_cast<uint32_t>(element_count_++);
}

bool TXmlSaveDoc::HasForbiddenControl(std::string_view value) {
  // Byte-wise is safe for CP932: a trail byte is never below 0x40.
  return std::any_of(value.begin(), value.end(), [](char c) {
    auto b = static_cast<unsigned char>(c);
    return b < 0x20 && b != '\t' && b != '\r' && b != '\n';
  });
}

void TXmlSaveDoc::CheckValue(std::string_view element, std::string_view attribute,
                             std::string_view value) {
  if (!HasForbiddenControl(value)) return;
  if (!on_invalid_) {
    throw std::invalid_argument(SJ("XML に書けない制御文字を含む値です: ") + std::string(element) +
                                (attribute.empty() ? "" : " " + std::string(attribute)));
  }
  if (first_invalid_.empty()) first_invalid_ = element;
  on_invalid_(element, attribute);
}

void TXmlSaveDoc::RefuseIfInvalid() const {
  if (!first_invalid_.empty())
    throw std::invalid_argument(SJ("XML に書けない制御文字を含む値です: ") + first_invalid_);
}

// The value goes in escaped once by EscapeXmlText and once more by the serialiser.
void TXmlSaveDoc::WriteAttr(std::string_view element, std::string_view name,
                            std::string_view value) {
  CheckValue(element, name, value);
  out_ += ' ';
  out_ += names_[Intern(name)];
  out_ += "=\"";
  AppendTwiceEscaped(out_, value);
  out_ += '"';
}

void TXmlSaveDoc::Flush(bool all) {
  if (!sink_ || out_.empty() || (!all && out_.size() < kSinkPiece)) return;
  sink_(out_);
  out_.clear();
}

TXmlNode TXmlSaveDoc::CreateRoot(std::string_view tag_name, std::string_view namespace_uri) {
  if (!root_.IsNone() || finished_) throw std::logic_error("XML root created twice");
  const uint32_t name_id = Intern(tag_name);
  ++name_counts_[name_id];
  out_ += '<';
  out_ += names_[name_id];
  if (!namespace_uri.empty()) WriteAttr(tag_name, "xmlns", namespace_uri);
  open_.push_back(Open{0, name_id, false});
  root_ = TXmlNode(0);
  element_count_ = 1;
  return root_;
}

TXmlNode TXmlSaveDoc::AddElement(TXmlNode parent, std::string_view tag_name,
                                 std::string_view attr_name, std::string_view attr_value) {
  uint32_t name_id;
  const uint32_t index = StartElement(parent, tag_name, name_id);
  if (!attr_name.empty()) WriteAttr(tag_name, attr_name, attr_value);
  open_.push_back(Open{index, name_id, false});
  Flush(false);
  return TXmlNode(index);
}

void TXmlSaveDoc::AddTextElement(TXmlNode parent, std::string_view tag_name, std::string_view text,
                                 std::string_view attr_name, std::string_view attr_value) {
  if (parent.IsNone()) throw std::logic_error("XML text element appended without a parent");
  uint32_t name_id;
  StartElement(parent, tag_name, name_id);
  if (!attr_name.empty()) WriteAttr(tag_name, attr_name, attr_value);
  CheckValue(tag_name, {}, text);
  if (text.empty()) {
    out_ += "/>";
  } else {
    out_ += '>';
    AppendTwiceEscaped(out_, text);
    out_ += "</";
    out_ += names_[name_id];
    out_ += '>';
  }
  Flush(false);
}

TXmlNode TXmlSaveDoc::AddElementWithAttrs(TXmlNode parent, std::string_view tag_name,
                                          const TXmlNodeAttrs& attrs) {
  uint32_t name_id;
  const uint32_t index = StartElement(parent, tag_name, name_id);
  for (const auto& a : attrs)
    if (!a.Name.empty()) WriteAttr(tag_name, a.Name, a.Value);
  open_.push_back(Open{index, name_id, false});
  Flush(false);
  return TXmlNode(index);
}

std::string TXmlSaveDoc::Tail() const {
  std::string tail;
  for (auto e = open_.rbegin(); e != open_.rend(); ++e) {
    if (e->has_children) {
      tail += "</";
      tail += names_[e->name];
      tail += '>';
    } else {
      tail += "/>";
    }
  }
  if (!root_.IsNone()) tail += "\r\n";
  return tail;
}

void TXmlSaveDoc::Finish() {
  if (!sink_) throw std::logic_error("XML document finished without a sink");
  if (finished_) return;
  RefuseIfInvalid();
  out_ += Tail();
  open_.clear();
  finished_ = true;
  Flush(true);
}

void TXmlSaveDoc::SaveToFile(std::string_view file_name) const {
  if (sink_) throw std::logic_error("XML document saved while it streams to a sink");
  RefuseIfInvalid();
  AtomicFile file(NativePath(file_name));
  file.Write(out_);
  file.Write(Tail());
  file.Commit();
}

std::string TXmlSaveDoc::GetXmlText() const {
  if (sink_) throw std::logic_error("XML text taken while the document streams to a sink");
  RefuseIfInvalid();
  std::string text;
  text.reserve(out_.size() + 64);
  CrLfLines lines;
  lines.Append(text, out_);
  lines.Append(text, Tail());
  lines.Finish(text);
  return text;
}

}  // namespace nc16
