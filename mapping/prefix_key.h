// Reading the documents the setup screen passes to the mapping methods: a
// prefix key document (one data source row as the root element's attributes)
// or a mapping edit document.
#ifndef QUILLET_MAPPING_PREFIX_KEY_H_
#define QUILLET_MAPPING_PREFIX_KEY_H_

#include <memory>
#include <string>
#include <string_view>

#include "quillet/variant.h"
#include "quillet/xml_document.h"

namespace quillet::mapping {

// A new document loaded from the XML text of `source`, a document reference.
// A text that does not load leaves the document empty. Raises
// errc::kObjectRequired for a text (it has no `xml` member),
// errc::kObjectNotSet for another value that is not an object (or a null
// reference), errc::kNoSuchMember for an object without an XML text.
std::shared_ptr<XmlDocument> LoadDocumentFrom(const Variant& source);

// The root element; raises errc::kObjectNotSet when the document is empty.
XmlNode RootOf(const XmlDocument& document);

// The root attribute `name` as text; a missing attribute reads as null and
// raises errc::kInvalidUseOfNull.
std::string RequiredAttribute(const XmlNode& root, std::string_view name);

// The root attribute `name`, or the empty text when it is missing.
std::string OptionalAttribute(const XmlNode& root, std::string_view name);

}  // namespace quillet::mapping

#endif  // QUILLET_MAPPING_PREFIX_KEY_H_
