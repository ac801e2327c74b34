// The value document: one document line's values, read by the evaluators.
#ifndef QUILLET_CORE_VALUE_DOCUMENT_H_
#define QUILLET_CORE_VALUE_DOCUMENT_H_

#include <array>
#include <optional>
#include <string>

#include "quillet/xml_document.h"

namespace quillet {

struct StandardRow {
  const char* name;
  const char* itype;
};

// The seventeen rows of the standard row set, in order.
const std::array<StandardRow, 17>& StandardRows();

// "<data>" CR LF, the seventeen rows each followed by CR LF, "</data>"; every
// value empty and bHave 'true' (the whname row keeps two blanks before itype).
const std::string& StandardRowSetText();

// Appends <row name='cinvcode' value=CODE .../> to the root; the value is set
// as attribute text, never spliced into markup.
void AddItemCodeRow(XmlDocument& doc, const std::string& item_code);

// The same row appended to the root as a node, without writing the document
// out and reading it again: for a document whose text is never handed back
// (no line break is added after the row). Raises Error::ObjectNotSet() for an
// empty document.
void AppendItemCodeRow(XmlDocument& doc, const std::string& item_code);

// The `value` of the first row named cinvcode; nullopt when there is no such
// row or it has no value attribute.
std::optional<std::string> ItemCode(const XmlDocument& doc);

// The first row whose itype is the decimal text of `type` ("//row [@itype='N']").
std::optional<XmlNode> RowOfType(const XmlDocument& doc, int type);

}  // namespace quillet

#endif  // QUILLET_CORE_VALUE_DOCUMENT_H_
