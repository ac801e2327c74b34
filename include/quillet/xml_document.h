// XmlDocument and XmlNode: the document object the component reads and builds.
#ifndef QUILLET_XML_DOCUMENT_H_
#define QUILLET_XML_DOCUMENT_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/export.h"

namespace quillet {

namespace detail {
struct XmlTree;  // owns the parsed tree; shared by a document and its nodes
}

// A node of a document: an element, an attribute, or another node kind. A node
// keeps its tree alive, so it stays valid after its document loads new text.
class QUILLET_EXPORT XmlNode {
 public:
  enum class Kind { kElement, kAttribute, kText, kOther };

  Kind kind() const;
  std::string nodeName() const;

  // Text content: an attribute's value, an element's concatenated text.
  std::string text() const;
  // Sets the text; an attribute's value is stored as given (escaped on output,
  // never parsed as markup).
  void setText(std::string_view value);

  // The node as XML text.
  std::string xml() const;

  // Adds an element named `name` (no namespace) as the last child of this
  // element and returns it. Raises Error(errc::kInvalidArgument) when this
  // node is not an element or `name` is not an XML name.
  XmlNode appendElement(std::string_view name);
  // Sets (adds or replaces) the attribute `name` of this element to `value`,
  // stored as given like setText. Raises Error(errc::kInvalidArgument) when
  // this node is not an element or `name` is not an XML name.
  void setAttribute(std::string_view name, std::string_view value);

  // Attributes of an element, in document order.
  std::size_t attributeCount() const;
  std::optional<XmlNode> attributeAt(std::size_t index) const;
  std::optional<XmlNode> getNamedItem(std::string_view name) const;
  // The attribute's value, or nullopt when the element has no such attribute.
  std::optional<std::string> getAttribute(std::string_view name) const;

  // XPath 1.0 relative to this node (see XmlDocument::selectSingleNode).
  std::optional<XmlNode> selectSingleNode(std::string_view xpath) const;
  std::vector<XmlNode> selectNodes(std::string_view xpath) const;

 private:
  friend class XmlDocument;
  XmlNode(std::shared_ptr<detail::XmlTree> tree, void* node)
      : tree_(std::move(tree)), node_(node) {}

  std::shared_ptr<detail::XmlTree> tree_;
  void* node_;
};

// An XML document. Loading is strict: a text that is not well-formed XML
// leaves the document empty and reports failure (no error is raised).
// Errors: an XPath expression that does not compile raises
// Error(errc::kXPathInvalid). Thread safety: none; one thread at a time.
class QUILLET_EXPORT XmlDocument {
 public:
  XmlDocument();
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Replaces the content with `text`. Returns false, leaving the document
  // empty, when the text is not well-formed.
  bool loadXML(std::string_view text);

  // Why the last loadXML failed (libxml2's message); "" after a success.
  std::string parseError() const;

  // The whole document as text; the empty text for an empty document.
  std::string xml() const;
  bool empty() const;

  std::optional<XmlNode> documentElement() const;

  // XPath 1.0 over the document. The prefix `z` names the rowset namespace
  // "#RowsetSchema", `rs`, `s` and `dt` the other namespaces of the record set
  // persistence format. Returns the first match in document order / all matches.
  std::optional<XmlNode> selectSingleNode(std::string_view xpath) const;
  std::vector<XmlNode> selectNodes(std::string_view xpath) const;

  // The first element in document order named `name` whose attribute
  // `attribute` is `value` (names without a namespace): what
  // selectSingleNode("//name[@attribute='value']") finds, without compiling
  // an expression, for the lookups made on every call.
  std::optional<XmlNode> firstElementWhere(std::string_view name, std::string_view attribute,
                                           std::string_view value) const;

 private:
  std::shared_ptr<detail::XmlTree> tree_;
  std::string parse_error_;
};

}  // namespace quillet

#endif  // QUILLET_XML_DOCUMENT_H_
