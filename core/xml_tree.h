// The libxml2 tree behind XmlDocument and XmlNode; internal to the component.
#ifndef QUILLET_CORE_XML_TREE_H_
#define QUILLET_CORE_XML_TREE_H_

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <vector>

namespace quillet::detail {

// Owns one parsed document. Shared by the document that loaded it and by every
// node handed out from it, so nodes outlive a reload of their document.
// Thread safety: none; the tree belongs to its document's thread.
struct XmlTree {
  XmlTree() = default;
  XmlTree(const XmlTree&) = delete;
  XmlTree& operator=(const XmlTree&) = delete;
  ~XmlTree();

  xmlDocPtr doc = nullptr;       // null for an empty document
  bool has_declaration = false;  // the loaded text began with <?xml ...?>
  // Nodes unlinked by setText: kept until the tree goes, because an XmlNode
  // may still point at them.
  std::vector<xmlNodePtr> detached;
  // The XPath context of `doc`, made on the first evaluation and kept:
  // making one registers every XPath function anew, which costs more than
  // evaluating a short expression.
  mutable xmlXPathContextPtr xpath = nullptr;
};

// Makes libxml2 silent on the calling thread (and on threads started later):
// parse and XPath errors are reported through results, never printed.
void QuietLibxml();

}  // namespace quillet::detail

#endif  // QUILLET_CORE_XML_TREE_H_
