#pragma once
// TXmlSaveDoc: the intermediate document, serialised as it is built.
//
// Elements are appended in document order, so the writer keeps no tree: only the path of open
// elements from the root to the last one appended. Appending a child to an element on that path
// finishes every element below it (their end tags are written); an element off the path is
// finished and may never be touched again (an assertion in a debug build, std::logic_error
// otherwise — never output out of order). With a sink the serialised bytes go to it in pieces
// while the document is built, so a whole employee list never sits in memory; without one they
// are kept for SaveToFile and GetXmlText.
//
// Every add operation entity-escapes the names and values it is given (EscapeXmlText), and the
// serialiser escapes every "&" once more, so the file carries each of & < > " ' of the source
// data as &amp;amp; &amp;lt; &amp;gt; &amp;quot; &amp;apos; — twice escaped, as the importing
// product expects.
//
// Serialised form: the declaration, CR LF, the root element, CR LF. No indentation. An element
// without content (an empty text, or no child at all) is written as one empty-element tag,
// <TAG/>.
//
// Texts are CP932 byte strings.

#include <array>
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
  // Receives the serialised document, in order, in pieces of about kSinkPiece bytes.
  using Sink = std::function<void(std::string_view bytes)>;
  static constexpr size_t kSinkPiece = 256 * 1024;

  // The declaration's version, encoding and, when not empty, standalone. Without a sink the
  // serialised document is kept for SaveToFile and GetXmlText; with one it goes to the sink, and
  // Finish hands over the rest.
  TXmlSaveDoc(std::string_view version, std::string_view encoding, std::string_view standalone,
              Sink sink = nullptr);

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

  // With a sink: ends the open elements and hands the rest of the document to the sink. Nothing
  // may be added afterwards. Raises std::invalid_argument for a document that holds a value XML
  // cannot carry (see SetInvalidValueHandler).
  void Finish();

  // Without a sink: writes the serialised document to FileName (a CP932 path), replacing an
  // existing file atomically: a failure leaves no partial file. Raises EOSError naming the file.
  void SaveToFile(std::string_view file_name) const;

  // Without a sink: the serialised document with every line ended by CR LF.
  std::string GetXmlText() const;

  static std::string EscapeXmlText(std::string_view s);

  // XML 1.0 cannot carry the control characters below 0x20 other than tab, CR and LF, not even
  // as character references: a value holding one would make a file no parser accepts. Such a
  // value is reported to the handler (the element's tag, and the attribute's name or empty for
  // the element's text) and is written all the same, so that the producer can go on and find
  // every problem; the document then refuses to be finished or saved (std::invalid_argument).
  // Without a handler the add operation itself raises std::invalid_argument naming the element.
  using InvalidValueHandler =
      std::function<void(std::string_view element, std::string_view attribute)>;
  void SetInvalidValueHandler(InvalidValueHandler handler) { on_invalid_ = std::move(handler); }
  static bool HasForbiddenControl(std::string_view value);

  TXmlNode Root() const { return root_; }
  size_t ElementCount() const { return element_count_; }
  // The number of elements named `tag_name` appended so far.
  size_t CountElements(std::string_view tag_name) const;

 private:
  // An element whose end is not written yet: the last one appended and its ancestors.
  struct Open {
    uint32_t index;
    uint32_t name;
    bool has_children;  // its start tag is closed with ">"; otherwise it still lacks its end
  };
  // Heterogeneous look-up: a tag given as string_view is found without building a string.
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };

  uint32_t Intern(std::string_view name);  // the id of a tag or attribute name
  // Starts the element's tag under its parent, which must be open; the rest of the start tag
  // follows.
  uint32_t StartElement(TXmlNode parent, std::string_view tag_name, uint32_t& name_id);
  void CloseDownTo(size_t depth);  // ends the open elements deeper than `depth`
  void WriteAttr(std::string_view element, std::string_view name, std::string_view value);
  // Reports a value that XML cannot carry (see SetInvalidValueHandler).
  void CheckValue(std::string_view element, std::string_view attribute, std::string_view value);
  void RefuseIfInvalid() const;
  std::string Tail() const;  // what ends the document from where it stands
  void Flush(bool all);      // hands the written bytes to the sink once there are enough

  Sink sink_;
  std::string out_;  // serialised and not yet handed to the sink
  std::vector<Open> open_;
  std::vector<std::string> names_;   // escaped
  std::vector<size_t> name_counts_;  // elements per name id
  std::unordered_map<std::string, uint32_t, NameHash, std::equal_to<>> name_ids_;
  struct CachedName {
    const char* data = nullptr;
    std::string name;
    uint32_t id = 0;
  };
  std::array<CachedName, 128> name_cache_;  // Intern's look-ups by where the name lies
  size_t element_count_ = 0;
  bool finished_ = false;
  InvalidValueHandler on_invalid_;
  std::string first_invalid_;  // the element of the first value XML cannot carry; empty: none
  TXmlNode root_;
};

}  // namespace nc16
