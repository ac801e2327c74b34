// Running numbers through the typed interface: the rule's own, or the
// counter of a line for a rule that starts again every period or prefix.
#ifndef QUILLET_NUMBERING_RUNNING_NUMBERS_H_
#define QUILLET_NUMBERING_RUNNING_NUMBERS_H_

#include "numbering/session.h"
#include "quillet/numbering.h"

namespace quillet::numbering {

// Numbering::GetRunningNumber and Numbering::SetRunningNumber.
RunningNumber GetRunningNumber(Session& session, const RuleOwner& owner, const Line& line);
SetRunningNumberResult SetRunningNumber(Session& session, const SetRunningNumberRequest& request);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_RUNNING_NUMBERS_H_
