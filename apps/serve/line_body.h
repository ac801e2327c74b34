// The document line of a request body: the item of the path, "date" and the
// "values" object ({"department": "0101", ...}).
#ifndef QUILLET_SERVE_LINE_BODY_H_
#define QUILLET_SERVE_LINE_BODY_H_

#include <nlohmann/json.hpp>
#include <string>

#include "quillet/numbering.h"

namespace quillet::serve {

// The line of `item` with the body's date (today without one) and values,
// checked as an issue checks them. Raises a 400 Problem naming "date" or
// "values" for a malformed date, an unknown value name, or a value that is
// not a string.
Line LineOf(const std::string& item, const nlohmann::json& body);

// The line's values as an object, the date first: {"date": "2024-05-06", ...}.
nlohmann::json ValuesJson(const Line& line);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_LINE_BODY_H_
