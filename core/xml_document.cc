// XmlDocument and XmlNode over libxml2.
#include "quillet/xml_document.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <climits>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "core/xml_tree.h"
#include "quillet/error.h"

namespace quillet {
namespace detail {
namespace {

void SilentGenericError(void* /*context*/, const char* /*message*/, ...) {}
void SilentStructuredError(void* /*context*/, xmlErrorPtr /*error*/) {}

}  // namespace

XmlTree::~XmlTree() {
  if (xpath != nullptr) xmlXPathFreeContext(xpath);
  for (xmlNodePtr node : detached) xmlFreeNode(node);
  if (doc != nullptr) xmlFreeDoc(doc);
}

void QuietLibxml() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    xmlThrDefSetGenericErrorFunc(nullptr, SilentGenericError);
    xmlThrDefSetStructuredErrorFunc(nullptr, SilentStructuredError);
  });
  // libxml2 keeps its error handlers per thread.
  thread_local bool quiet = false;
  if (!quiet) {
    xmlSetGenericErrorFunc(nullptr, SilentGenericError);
    xmlSetStructuredErrorFunc(nullptr, SilentStructuredError);
    quiet = true;
  }
}

}  // namespace detail

namespace {

using detail::XmlTree;

constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC;

const xmlChar* Chars(const std::string& text) {
  return reinterpret_cast<const xmlChar*>(text.c_str());
}

std::string Text(const xmlChar* chars) {
  return chars == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(chars));
}

// Takes ownership of a libxml2-allocated string.
std::string TakeText(xmlChar* chars) {
  std::string text = Text(chars);
  xmlFree(chars);
  return text;
}

xmlNodePtr AsNode(void* node) { return static_cast<xmlNodePtr>(node); }

std::string QualifiedName(const xmlChar* name, const xmlNs* ns) {
  if (ns != nullptr && ns->prefix != nullptr) return Text(ns->prefix) + ":" + Text(name);
  return Text(name);
}

bool HasDeclaration(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  if (!text.starts_with("<?xml") || text.size() < 6) return false;
  const char next = text[5];
  return next == ' ' || next == '\t' || next == '\r' || next == '\n';
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// One node as XML text: no declaration, no added indentation; non-ASCII text
// stays UTF-8 instead of becoming character references.
std::string Serialize(xmlNodePtr node) {
  std::unique_ptr<xmlBuffer, decltype(&xmlBufferFree)> buffer(xmlBufferCreate(), xmlBufferFree);
  xmlSaveCtxtPtr save = xmlSaveToBuffer(buffer.get(), "UTF-8", XML_SAVE_NO_DECL | XML_SAVE_AS_XML);
  if (save == nullptr) return {};
  xmlSaveTree(save, node);
  xmlSaveClose(save);
  std::string text(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                   static_cast<std::size_t>(xmlBufferLength(buffer.get())));
  // An attribute serializes as ` name="value"`.
  if (node->type == XML_ATTRIBUTE_NODE && text.starts_with(' ')) text.erase(0, 1);
  return text;
}

std::string SerializeDocument(const XmlTree& tree) {
  if (tree.doc == nullptr) return {};
  std::string text = tree.has_declaration ? "<?xml version=\"1.0\"?>" : "";
  for (xmlNodePtr child = tree.doc->children; child != nullptr; child = child->next) {
    if (!text.empty()) text += "\r\n";
    text += Serialize(child);
  }
  return text;
}

const std::pair<const char*, const char*> kNamespaces[] = {
    {"z", "#RowsetSchema"},
    {"rs", "urn:schemas-microsoft-com:rowset"},
    {"s", "uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882"},
    {"dt", "uuid:C2F41010-65B3-11d1-A29F-00AA00C14882"},
};

[[noreturn]] void ThrowXPathInvalid(std::string_view xpath, const xmlError& error) {
  std::string description = "The XPath expression is not valid: '" + std::string(xpath) + "'";
  if (error.message != nullptr) description += " (" + Trimmed(error.message) + ")";
  throw Error(errc::kXPathInvalid, description);
}

// The tree's kept XPath context, silent and knowing the rowset prefixes.
xmlXPathContext& XPathContextOf(const XmlTree& tree, const std::string& expression) {
  if (tree.xpath == nullptr) {
    tree.xpath = xmlXPathNewContext(tree.doc);
    if (tree.xpath == nullptr) {
      throw Error(errc::kXPathInvalid, "Out of memory evaluating '" + expression + "'");
    }
    tree.xpath->error = detail::SilentStructuredError;
    for (const auto& [prefix, uri] : kNamespaces) {
      xmlXPathRegisterNs(tree.xpath, reinterpret_cast<const xmlChar*>(prefix),
                         reinterpret_cast<const xmlChar*>(uri));
    }
  }
  tree.xpath->doc = tree.doc;
  xmlResetError(&tree.xpath->lastError);
  return *tree.xpath;
}

// The nodes `xpath` selects from `context` (the document when null), in
// document order; at most one when `first_only`.
std::vector<xmlNodePtr> Evaluate(const XmlTree& tree, xmlNodePtr context, std::string_view xpath,
                                 bool first_only) {
  detail::QuietLibxml();
  const std::string expression(xpath);
  xmlXPathContext* ctx = &XPathContextOf(tree, expression);
  if (expression.find('\0') != std::string::npos) ThrowXPathInvalid(xpath, ctx->lastError);
  std::unique_ptr<xmlXPathCompExpr, decltype(&xmlXPathFreeCompExpr)> compiled(
      xmlXPathCtxtCompile(ctx, Chars(expression)), xmlXPathFreeCompExpr);
  if (!compiled) ThrowXPathInvalid(xpath, ctx->lastError);
  if (tree.doc == nullptr) return {};

  ctx->node = context != nullptr ? context : reinterpret_cast<xmlNodePtr>(tree.doc);
  std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> result(
      xmlXPathCompiledEval(compiled.get(), ctx), xmlXPathFreeObject);
  if (!result) ThrowXPathInvalid(xpath, ctx->lastError);
  if (result->type != XPATH_NODESET) {
    throw Error(errc::kXPathInvalid,
                "The XPath expression does not select nodes: '" + expression + "'");
  }
  std::vector<xmlNodePtr> nodes;
  const xmlNodeSet* set = result->nodesetval;
  for (int i = 0; set != nullptr && i < set->nodeNr; ++i) {
    xmlNodePtr node = set->nodeTab[i];
    // Namespace nodes are copies owned by the result; they are not handed out.
    if (node->type == XML_NAMESPACE_DECL) continue;
    nodes.push_back(node);
    if (first_only) break;
  }
  return nodes;
}

bool IsNCName(const std::string& name) { return xmlValidateNCName(Chars(name), 0) == 0; }

// Why a text did not parse, as the parser tells it.
std::string ParseFailure(xmlParserCtxt& ctxt) {
  const xmlError* error = xmlCtxtGetLastError(&ctxt);
  return error != nullptr && error->message != nullptr
             ? Trimmed(error->message) + " (line " + std::to_string(error->line) + ")"
             : "The text is not well-formed XML";
}

// Why a parsed document is refused; "" when it is accepted.
std::string Refusal(const xmlParserCtxt& ctxt, const xmlDoc& doc) {
  if (!ctxt.nsWellFormed) return "Reference to an undeclared namespace prefix";
  // The component never receives document type declarations; refusing them
  // keeps entity definitions out of every document it reads.
  if (doc.intSubset != nullptr || doc.extSubset != nullptr) {
    return "Document type declarations are not accepted";
  }
  return {};
}

}  // namespace

// ---------------------------------------------------------------------------
// XmlNode

XmlNode::Kind XmlNode::kind() const {
  switch (AsNode(node_)->type) {
    case XML_ELEMENT_NODE:
      return Kind::kElement;
    case XML_ATTRIBUTE_NODE:
      return Kind::kAttribute;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
      return Kind::kText;
    default:
      return Kind::kOther;
  }
}

std::string XmlNode::nodeName() const {
  const xmlNodePtr node = AsNode(node_);
  switch (node->type) {
    case XML_ELEMENT_NODE:
      return QualifiedName(node->name, node->ns);
    case XML_ATTRIBUTE_NODE:
      return QualifiedName(node->name, reinterpret_cast<xmlAttrPtr>(node)->ns);
    case XML_TEXT_NODE:
      return "#text";
    case XML_CDATA_SECTION_NODE:
      return "#cdata-section";
    case XML_COMMENT_NODE:
      return "#comment";
    case XML_DOCUMENT_NODE:
      return "#document";
    default:
      return Text(node->name);
  }
}

std::string XmlNode::text() const { return TakeText(xmlNodeGetContent(AsNode(node_))); }

void XmlNode::setText(std::string_view value) {
  const xmlNodePtr node = AsNode(node_);
  const std::string content(value);
  switch (node->type) {
    case XML_ATTRIBUTE_NODE: {
      // xmlSetNsProp keeps the attribute node and stores the value literally.
      const auto attribute = reinterpret_cast<xmlAttrPtr>(node);
      xmlSetNsProp(attribute->parent, attribute->ns, attribute->name, Chars(content));
      return;
    }
    case XML_ELEMENT_NODE:
    case XML_DOCUMENT_NODE: {
      while (node->children != nullptr) {
        xmlNodePtr child = node->children;
        xmlUnlinkNode(child);
        tree_->detached.push_back(child);
      }
      xmlAddChild(node,
                  xmlNewDocTextLen(node->doc, Chars(content), static_cast<int>(content.size())));
      return;
    }
    default:
      xmlNodeSetContentLen(node, Chars(content), static_cast<int>(content.size()));
      return;
  }
}

std::string XmlNode::xml() const {
  const xmlNodePtr node = AsNode(node_);
  if (node->type == XML_DOCUMENT_NODE) return SerializeDocument(*tree_);
  return Serialize(node);
}

XmlNode XmlNode::appendElement(std::string_view name) {
  const xmlNodePtr node = AsNode(node_);
  const std::string element_name(name);
  if (node->type != XML_ELEMENT_NODE || !IsNCName(element_name)) {
    throw Error(errc::kInvalidArgument,
                "Cannot append an element named '" + element_name + "' to " + nodeName());
  }
  xmlNodePtr child = xmlNewDocNode(node->doc, nullptr, Chars(element_name), nullptr);
  xmlAddChild(node, child);
  return XmlNode(tree_, child);
}

void XmlNode::setAttribute(std::string_view name, std::string_view value) {
  const xmlNodePtr node = AsNode(node_);
  const std::string attribute_name(name);
  if (node->type != XML_ELEMENT_NODE || !IsNCName(attribute_name)) {
    throw Error(errc::kInvalidArgument,
                "Cannot set an attribute named '" + attribute_name + "' on " + nodeName());
  }
  xmlSetProp(node, Chars(attribute_name), Chars(std::string(value)));
}

std::size_t XmlNode::attributeCount() const {
  const xmlNodePtr node = AsNode(node_);
  if (node->type != XML_ELEMENT_NODE) return 0;
  std::size_t count = 0;
  for (xmlAttrPtr a = node->properties; a != nullptr; a = a->next) ++count;
  return count;
}

std::optional<XmlNode> XmlNode::attributeAt(std::size_t index) const {
  const xmlNodePtr node = AsNode(node_);
  if (node->type != XML_ELEMENT_NODE) return std::nullopt;
  for (xmlAttrPtr a = node->properties; a != nullptr; a = a->next, --index) {
    if (index == 0) return XmlNode(tree_, a);
  }
  return std::nullopt;
}

std::optional<XmlNode> XmlNode::getNamedItem(std::string_view name) const {
  const xmlNodePtr node = AsNode(node_);
  if (node->type != XML_ELEMENT_NODE) return std::nullopt;
  for (xmlAttrPtr a = node->properties; a != nullptr; a = a->next) {
    if (QualifiedName(a->name, a->ns) == name) return XmlNode(tree_, a);
  }
  return std::nullopt;
}

std::optional<std::string> XmlNode::getAttribute(std::string_view name) const {
  const std::optional<XmlNode> attribute = getNamedItem(name);
  if (!attribute) return std::nullopt;
  return attribute->text();
}

std::optional<XmlNode> XmlNode::selectSingleNode(std::string_view xpath) const {
  const std::vector<xmlNodePtr> nodes = Evaluate(*tree_, AsNode(node_), xpath, true);
  if (nodes.empty()) return std::nullopt;
  return XmlNode(tree_, nodes.front());
}

std::vector<XmlNode> XmlNode::selectNodes(std::string_view xpath) const {
  std::vector<XmlNode> result;
  for (xmlNodePtr node : Evaluate(*tree_, AsNode(node_), xpath, false)) {
    result.push_back(XmlNode(tree_, node));
  }
  return result;
}

// ---------------------------------------------------------------------------
// XmlDocument

XmlDocument::XmlDocument() : tree_(std::make_shared<XmlTree>()) {}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::loadXML(std::string_view text) {
  detail::QuietLibxml();
  tree_ = std::make_shared<XmlTree>();
  parse_error_.clear();
  if (text.size() > static_cast<std::size_t>(INT_MAX)) {
    parse_error_ = "The text is too long";
    return false;
  }
  std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(xmlNewParserCtxt(),
                                                                    xmlFreeParserCtxt);
  if (!ctxt) {
    parse_error_ = "Out of memory";
    return false;
  }
  // The component's texts are UTF-8 whatever their declaration says.
  xmlDocPtr doc = xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()), nullptr,
                                    "UTF-8", kParseOptions);
  parse_error_ = doc == nullptr ? ParseFailure(*ctxt) : Refusal(*ctxt, *doc);
  if (!parse_error_.empty()) {
    if (doc != nullptr) xmlFreeDoc(doc);
    return false;
  }
  if (doc->encoding != nullptr) xmlFree(const_cast<xmlChar*>(doc->encoding));
  doc->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>("UTF-8"));
  tree_->doc = doc;
  tree_->has_declaration = HasDeclaration(text);
  return true;
}

std::string XmlDocument::parseError() const { return parse_error_; }

std::string XmlDocument::xml() const { return SerializeDocument(*tree_); }

bool XmlDocument::empty() const { return tree_->doc == nullptr; }

std::optional<XmlNode> XmlDocument::documentElement() const {
  if (tree_->doc == nullptr) return std::nullopt;
  xmlNodePtr root = xmlDocGetRootElement(tree_->doc);
  if (root == nullptr) return std::nullopt;
  return XmlNode(tree_, root);
}

std::optional<XmlNode> XmlDocument::selectSingleNode(std::string_view xpath) const {
  const std::vector<xmlNodePtr> nodes = Evaluate(*tree_, nullptr, xpath, true);
  if (nodes.empty()) return std::nullopt;
  return XmlNode(tree_, nodes.front());
}

std::vector<XmlNode> XmlDocument::selectNodes(std::string_view xpath) const {
  std::vector<XmlNode> result;
  for (xmlNodePtr node : Evaluate(*tree_, nullptr, xpath, false)) {
    result.push_back(XmlNode(tree_, node));
  }
  return result;
}

namespace {

bool HasNoNamespaceName(xmlNodePtr node, std::string_view name) {
  return node->ns == nullptr && node->name != nullptr &&
         std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

bool AttributeIs(xmlNodePtr element, std::string_view attribute, std::string_view value) {
  for (xmlAttrPtr property = element->properties; property != nullptr; property = property->next) {
    if (!HasNoNamespaceName(reinterpret_cast<xmlNodePtr>(property), attribute)) continue;
    std::unique_ptr<xmlChar, decltype(xmlFree)> text(
        xmlNodeListGetString(element->doc, property->children, 1), xmlFree);
    return std::string_view(text ? reinterpret_cast<const char*>(text.get()) : "") == value;
  }
  return false;
}

// The next node after `node` in document order, its children first.
xmlNodePtr NextInOrder(xmlNodePtr node) {
  if (node->type == XML_ELEMENT_NODE && node->children != nullptr) return node->children;
  while (node != nullptr && node->next == nullptr) {
    node = node->parent;
    if (node != nullptr && node->type == XML_DOCUMENT_NODE) return nullptr;
  }
  return node == nullptr ? nullptr : node->next;
}

}  // namespace

std::optional<XmlNode> XmlDocument::firstElementWhere(std::string_view name,
                                                      std::string_view attribute,
                                                      std::string_view value) const {
  if (tree_->doc == nullptr) return std::nullopt;
  for (xmlNodePtr node = tree_->doc->children; node != nullptr; node = NextInOrder(node)) {
    if (node->type == XML_ELEMENT_NODE && HasNoNamespaceName(node, name) &&
        AttributeIs(node, attribute, value)) {
      return XmlNode(tree_, node);
    }
  }
  return std::nullopt;
}

}  // namespace quillet
