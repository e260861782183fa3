#pragma once
// TXmlSaveDoc: the intermediate document while it is built, and its serialisation.
//
// The tree is a compact arena of our own: elements with attributes and text, appended in
// document order. Every add operation entity-escapes the names and values it is given before
// they enter the tree (EscapeXmlText), and the serialiser escapes every "&" once more, so the
// file carries each of & < > " ' of the source data as &amp;amp; &amp;lt; &amp;gt; &amp;quot;
// &amp;apos; — twice escaped, as the importing product expects.
//
// Serialised form: the declaration, CR LF, the root element, CR LF. No indentation. An element
// without content (an empty text, or no child at all) is written as one empty-element tag,
// <TAG/>, in both SaveToFile and GetXmlText.
//
// Texts are CP932 byte strings. Node handles stay valid while the document exists.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nc16 {

struct TXmlNodeAttr {
  std::string Name;
  std::string Value;
};
using TXmlNodeAttrs = std::vector<TXmlNodeAttr>;

// A handle to one element of a TXmlSaveDoc; a default-constructed handle is "none".
class TXmlNode {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  TXmlNode() = default;
  bool IsNone() const { return index_ == kNone; }
  friend bool operator==(TXmlNode, TXmlNode) = default;

 private:
  friend class TXmlSaveDoc;
  explicit TXmlNode(uint32_t index) : index_(index) {}
  uint32_t index_ = kNone;
};

class TXmlSaveDoc {
 public:
  // The declaration's version, encoding and, when not empty, standalone.
  TXmlSaveDoc(std::string_view version, std::string_view encoding, std::string_view standalone);

  TXmlSaveDoc(const TXmlSaveDoc&) = delete;
  TXmlSaveDoc& operator=(const TXmlSaveDoc&) = delete;

  // Creates the root element; a non-empty namespace is written as its xmlns attribute.
  TXmlNode CreateRoot(std::string_view tag_name, std::string_view namespace_uri);

  // Appends an element to Parent, or to the root when Parent is none. The attribute is set only
  // when its name is not empty.
  TXmlNode AddElement(TXmlNode parent, std::string_view tag_name, std::string_view attr_name = {},
                      std::string_view attr_value = {});

  // Appends an element holding Text (also when empty) to Parent, which must not be none.
  void AddTextElement(TXmlNode parent, std::string_view tag_name, std::string_view text,
                      std::string_view attr_name = {}, std::string_view attr_value = {});

  // Appends an element with the attributes of the list, in order; entries without a name are
  // skipped.
  TXmlNode AddElementWithAttrs(TXmlNode parent, std::string_view tag_name,
                               const TXmlNodeAttrs& attrs);

  // Writes the serialised document to FileName (a CP932 path), replacing an existing file
  // atomically: a failure leaves no partial file. Raises EOSError naming the file.
  void SaveToFile(std::string_view file_name) const;

  // The serialised document with every line ended by CR LF.
  std::string GetXmlText() const;

  static std::string EscapeXmlText(std::string_view s);

  // XML 1.0 cannot carry the control characters below 0x20 other than tab, CR and LF, not even
  // as character references: a value holding one would make a file no parser accepts. Such a
  // value is reported to the handler (the element's tag, and the attribute's name or empty for
  // the element's text) and enters the tree all the same, so that the producer can go on and
  // find every problem; the document then refuses to be serialised (std::invalid_argument).
  // Without a handler the add operation itself raises std::invalid_argument naming the element.
  using InvalidValueHandler =
      std::function<void(std::string_view element, std::string_view attribute)>;
  void SetInvalidValueHandler(InvalidValueHandler handler) { on_invalid_ = std::move(handler); }
  static bool HasForbiddenControl(std::string_view value);

  TXmlNode Root() const { return root_; }
  size_t ElementCount() const { return nodes_.size(); }
  // The number of elements named `tag_name`.
  size_t CountElements(std::string_view tag_name) const;

 private:
  struct Node {
    uint32_t name;
    uint32_t first_child = TXmlNode::kNone;
    uint32_t last_child = TXmlNode::kNone;
    uint32_t next_sibling = TXmlNode::kNone;
    uint32_t attr_begin = 0;
    uint32_t attr_count = 0;
    uint32_t text_begin = 0;
    uint32_t text_size = 0;
  };
  struct Attr {
    uint32_t name;
    uint32_t value_begin;
    uint32_t value_size;
  };

  struct Span {
    uint32_t begin;
    uint32_t size;
  };
  // Heterogeneous look-up: a tag given as string_view is found without building a string.
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };

  uint32_t Intern(std::string_view name);  // the id of a tag or attribute name
  Span StoreText(std::string_view text);   // escapes text into the pool
  uint32_t NewElement(TXmlNode parent, std::string_view tag_name);
  void AddAttr(uint32_t node, std::string_view name, std::string_view value);
  // Reports a value that XML cannot carry (see SetInvalidValueHandler).
  void CheckValue(uint32_t node, std::string_view attribute, std::string_view value);
  void RefuseIfInvalid() const;
  // Serialises into `out`; with `flush`, hands `out` over whenever it has grown past a chunk.
  void Serialize(std::string& out, const std::function<void(std::string&)>& flush) const;

  std::string declaration_;
  std::vector<Node> nodes_;
  std::vector<Attr> attrs_;
  std::vector<std::string> names_;
  std::unordered_map<std::string, uint32_t, NameHash, std::equal_to<>> name_ids_;
  std::string pool_;                   // escaped texts and attribute values, back to back
  bool text_has_line_breaks_ = false;  // some text holds a CR or LF of its own
  InvalidValueHandler on_invalid_;
  std::string first_invalid_;  // the element of the first value XML cannot carry; empty: none
  TXmlNode root_;
};

}  // namespace nc16
