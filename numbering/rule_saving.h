// Saving and deleting rules through the typed interface: the segments
// checked, the guards that keep serial numbers from repeating, and what a
// save changed besides the rule.
#ifndef QUILLET_NUMBERING_RULE_SAVING_H_
#define QUILLET_NUMBERING_RULE_SAVING_H_

#include <string>
#include <vector>

#include "numbering/session.h"
#include "quillet/numbering.h"

namespace quillet::numbering {

// What the segments would do that their author may not mean: a running
// number that does not go up (step 0 or less), no running number at all, a
// start number wider than its digits. One sentence each, naming the segment
// and saying what issuing will then do; none for a sound rule. Pure.
std::vector<std::string> RuleConcerns(const std::vector<Segment>& segments);

// Refuses (kInvalidRequest) what a rule cannot store as it stands: a value
// with a blank at either end (saving removes it) and a second running number.
void RequireStorable(const std::vector<Segment>& segments);

// Numbering::SaveRule and Numbering::DeleteRule.
SavedRule SaveRule(Session& session, const SaveRuleRequest& request);
Rule DeleteRule(Session& session, const RuleOwner& owner);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_RULE_SAVING_H_
