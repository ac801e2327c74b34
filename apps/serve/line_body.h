// The document line of a request body: the item of the path, "date" and the
// "values" object ({"department": "0101", ...}), read the way the tool reads
// --date and --set.
#ifndef QUILLET_APPS_SERVE_LINE_BODY_H_
#define QUILLET_APPS_SERVE_LINE_BODY_H_

#include <nlohmann/json.hpp>
#include <string>

#include "apps/line_values.h"

namespace quillet::apps::serve {

// The line of `item` with the body's date (today without one) and values.
// Raises a 400 Problem naming "date" or "values" for a malformed date, an
// unknown value name, or a value that is not a string.
LineValues LineOf(const std::string& item, const nlohmann::json& body);

// The line's values as an object, the date first: {"date": "2024-05-06", ...}.
nlohmann::json ValuesJson(const LineValues& line);

}  // namespace quillet::apps::serve

#endif  // QUILLET_APPS_SERVE_LINE_BODY_H_
