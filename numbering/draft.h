// A rule as it is being edited, evaluated for one sample document line
// without being saved: the text each segment would add to the serial number
// and, for a segment that adds none, why. Nothing is written and no running
// number is used up.
#ifndef QUILLET_NUMBERING_DRAFT_H_
#define QUILLET_NUMBERING_DRAFT_H_

#include "numbering/session.h"
#include "quillet/numbering.h"

namespace quillet::numbering {

// Numbering::EvaluateDraft.
DraftEvaluation EvaluateDraft(Session& session, const DraftRequest& request);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_DRAFT_H_
