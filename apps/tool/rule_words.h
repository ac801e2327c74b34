// Rules as the tool's commands read and write them: segment words from the
// command line, the next running number in words, an owner's own rule.
#ifndef QUILLET_APPS_TOOL_RULE_WORDS_H_
#define QUILLET_APPS_TOOL_RULE_WORDS_H_

#include <string>
#include <vector>

#include "quillet/numbering.h"

namespace quillet::tool {

// The segments of the words, in order. Raises ToolUsage naming the segment
// and its bad part (with the error number where the notation has one).
std::vector<Segment> ParseSegmentWords(const std::vector<std::string>& words);

// The rule's running number policy in words: "from N every month" (year,
// day; "for each prefix") for a rule that restarts its counters, else the
// stored next running number, or `none` when it has none. Pure.
std::string NextNumberText(const Rule& rule, const std::string& none);

// The owner's own rule. Raises what FindRule raises, and ToolFailure for an
// owner without one: for an item, which rule its serial numbers follow and
// how to see it.
Rule RequireOwnRule(Numbering& numbering, const RuleOwner& owner);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_RULE_WORDS_H_
