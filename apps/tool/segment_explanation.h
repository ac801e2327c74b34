// What a rule segment puts into a serial number, said in a few plain words
// for `quillet rule show`.
#ifndef QUILLET_APPS_TOOL_SEGMENT_EXPLANATION_H_
#define QUILLET_APPS_TOOL_SEGMENT_EXPLANATION_H_

#include <string>

#include "quillet/rule.h"

namespace quillet::tool {

// E.g. "department cut to level 1, mapped or fitted to 2 characters; XX when
// empty" or "running number in 4 digits, up 1 per serial number". Pure.
std::string ExplainSegment(const Segment& segment);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_SEGMENT_EXPLANATION_H_
