// Voided serial numbers and the gaps of a journal-keeping rule's sequence,
// as the typed interface gives them.
#ifndef QUILLET_NUMBERING_JOURNAL_TRAIL_H_
#define QUILLET_NUMBERING_JOURNAL_TRAIL_H_

#include <vector>

#include "numbering/session.h"
#include "quillet/numbering.h"

namespace quillet::numbering {

VoidedSerial VoidSerialNumber(Session& session, const VoidRequest& request);

std::vector<NumberGap> Gaps(Session& session, const GapQuery& query);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_JOURNAL_TRAIL_H_
