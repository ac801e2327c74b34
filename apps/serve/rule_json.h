// Rules and their segments as the service's resources write and read them.
//
// A segment is an object holding the settings of its segment word, under the
// word's keys: "source" (the data source's name), its own value under what it
// means ("pattern" for date, "level" for department and class, "text" for
// text), then "width", "pad", "fill", "step", and "start" (number) or
// "format" (the other sources); the running number's numbering policies, when
// on, as "restart" (a word), "end" and "warn" (numbers), "journal" and
// "unique" (true). Answers add the read-only "type" (the type
// code) and "notation" (the canonical word):
//
//   {"source": "department", "level": "1", "width": 2, "pad": "0", "fill": "X",
//    "step": 0, "type": 2, "notation": "department=1,width=2,pad=0,fill=X"}
//
// A request may also give a segment as its word, a JSON string.
#ifndef QUILLET_SERVE_RULE_JSON_H_
#define QUILLET_SERVE_RULE_JSON_H_

#include <nlohmann/json.hpp>
#include <string>

#include "quillet/rule.h"

namespace quillet::serve {

// The segment with every setting its source takes.
nlohmann::json SegmentJson(const Segment& segment);

// {"owner", "owner_name", "name", "next_number", "segments"}.
nlohmann::json RuleJson(const Rule& rule);

// The segment word of a segment of a request: a string as it stands, an
// object written as a word (the word is checked when it is read). Raises a
// 400 Problem naming `field` for another JSON type, an unknown key, a value
// of the wrong JSON type, and a source's value under a key that is not its
// own. Ignores "type" and "notation".
std::string SegmentWord(const nlohmann::json& segment, const std::string& field);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_RULE_JSON_H_
