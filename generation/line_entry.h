// The serial number of a document line, from the document's head and body.
#ifndef QUILLET_GENERATION_LINE_ENTRY_H_
#define QUILLET_GENERATION_LINE_ENTRY_H_

#include <map>
#include <memory>
#include <string>

#include "generation/issue_call.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

// The value document a line's number is issued from: the seventeen standard rows
// taken from the first rows of the head and body (for the voucher types
// "24", "0411" and "0301" all of them, otherwise only the free items), and
// the item-code row. Raises errc::kObjectNotSet for an empty head or body
// reference.
std::shared_ptr<XmlDocument> LineValueDocument(const std::string& item_code,
                                               const std::shared_ptr<XmlDocument>& head,
                                               const std::shared_ptr<XmlDocument>& body,
                                               const std::string& voucher_type);

// The same value document from the column values of the head's row and the
// body's row, by column name; a missing column reads as the empty text.
std::shared_ptr<XmlDocument> LineValueDocument(const std::string& item_code,
                                               const std::map<std::string, std::string>& head,
                                               const std::map<std::string, std::string>& body,
                                               const std::string& voucher_type);

// IssueNumber for the value document of the line of item `item_code`. Raises
// errc::kObjectNotSet for an empty head or body reference, and otherwise
// never.
Issued<std::string> IssueLineNumber(store::Connection& db, const std::string& item_code,
                                    const std::shared_ptr<XmlDocument>& head,
                                    const std::shared_ptr<XmlDocument>& body,
                                    const std::string& voucher_type, bool save,
                                    const UserNameSource& user);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_LINE_ENTRY_H_
