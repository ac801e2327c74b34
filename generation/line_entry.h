// The value document of a document line, from the document's head and body.
#ifndef QUILLET_GENERATION_LINE_ENTRY_H_
#define QUILLET_GENERATION_LINE_ENTRY_H_

#include <memory>
#include <string>

#include "quillet/xml_document.h"

namespace quillet::generation {

// The value document getLineSNum issues from: the seventeen standard rows
// taken from the first rows of the head and body (for the voucher types
// "24", "0411" and "0301" all of them, otherwise only the free items), and
// the item-code row. Raises errc::kObjectNotSet for an empty head or body
// reference.
std::shared_ptr<XmlDocument> LineValueDocument(const std::string& item_code,
                                               const std::shared_ptr<XmlDocument>& DomHead,
                                               const std::shared_ptr<XmlDocument>& DomBody,
                                               const std::string& vchType);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_LINE_ENTRY_H_
