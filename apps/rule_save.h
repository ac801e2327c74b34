// Saving a rule from the command line: the segment words read and checked,
// the rule saved through the component, and what the save did besides.
#ifndef QUILLET_APPS_RULE_SAVE_H_
#define QUILLET_APPS_RULE_SAVE_H_

#include <string>
#include <vector>

#include "apps/domain_session.h"
#include "apps/owner_notation.h"
#include "apps/rule_store.h"
#include "apps/segment_notation.h"

namespace quillet::apps {

// The segments of the words, in order. Raises ToolUsage naming the segment
// and its bad part, for a value that starts or ends with a blank (saving
// would remove the blank), and for more than one running number.
std::vector<Segment> ParseRuleSegments(const std::vector<std::string>& words);

struct SaveOutcome {
  Rule rule;                       // as stored after the save
  std::vector<std::string> notes;  // what else changed, or did not
};

// What the segments would do that their author may not mean: a running
// number that does not go up (step 0 or less), no running number at all, a
// start number wider than its digits. One sentence each, naming the segment
// and saying what issuing will then do; none for a sound rule. Pure.
std::vector<std::string> RuleConcerns(const std::vector<Segment>& segments);

// Saves the owner's rule. Raises ToolFailure for an owner that does not
// exist, for a name that another owner's rule carries, and, when `guarded`,
// for the first of the RuleConcerns (telling --force saves it all the same).
// The notes tell when the owner keeps a running number other than the start
// given, and which other rules now share the settings of a mapped data
// source.
SaveOutcome SaveRuleWithNotes(DomainSession& session, const RuleOwner& owner,
                              const std::string& name, const std::vector<Segment>& segments,
                              bool guarded = false);

// The help text of the segment notation, with examples.
std::string SegmentNotationHelp();

}  // namespace quillet::apps

#endif  // QUILLET_APPS_RULE_SAVE_H_
