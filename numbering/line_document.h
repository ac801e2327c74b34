// A document line as the engine reads it: the value document of a Line, with
// the names of its values and its date checked first.
#ifndef QUILLET_NUMBERING_LINE_DOCUMENT_H_
#define QUILLET_NUMBERING_LINE_DOCUMENT_H_

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "quillet/numbering.h"
#include "quillet/xml_document.h"

namespace quillet::numbering {

// The line's values by data source type (0 to 6, 20, 21, 28 to 35): the
// date (today's when the line has none) and each named value. Raises
// Failure(kInvalidRequest) for an unknown name, one that names no value of
// a line (the rule takes it from elsewhere), a name given twice in two
// spellings, and a date that is not a calendar date written YYYY-MM-DD,
// optionally with a blank or T and HH:MM or HH:MM:SS.
std::map<int, std::string> LineValuesByType(const Line& line);

// The value document of `values` for `item`: the standard rows, each value
// available, the item-code row, and `count` on the root when given.
std::shared_ptr<XmlDocument> ValueDocument(const std::string& item,
                                           const std::map<int, std::string>& values,
                                           std::optional<int32_t> count = std::nullopt);

// Whether `text` is a calendar date, and time, as Line::date reads. Pure.
bool IsDateText(const std::string& text);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_LINE_DOCUMENT_H_
