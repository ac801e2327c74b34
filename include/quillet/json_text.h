// JSON texts as Quillet reads and writes them: parsed with bounds, and
// answered as one line of UTF-8.
#ifndef QUILLET_JSON_TEXT_H_
#define QUILLET_JSON_TEXT_H_

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "quillet/export.h"

namespace quillet {

// Parses a JSON text. Throws Error (a UsageError of quillet/dispatch.h):
// errc::kInvalidArgument telling where the text is malformed or that it
// nests arrays and objects deeper than limits::kMaxJsonDepth
// (quillet/limits.h), errc::kInvalidText for a string or member name holding
// a NUL character (\u0000), naming its place. Thread-safe.
QUILLET_EXPORT nlohmann::json ParseJson(std::string_view text);

// A JSON value as one line of text, without the line end. Bytes that are
// not UTF-8 are replaced by U+FFFD. Thread-safe.
QUILLET_EXPORT std::string ResponseLine(const nlohmann::json& response);

}  // namespace quillet

#endif  // QUILLET_JSON_TEXT_H_
