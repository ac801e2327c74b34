// Why an item's rule gave no serial number: the issuing methods answer a
// failure with an empty result, and the tool then looks for the cause so that
// it can say it in plain words.
#ifndef QUILLET_APPS_ISSUE_DIAGNOSIS_H_
#define QUILLET_APPS_ISSUE_DIAGNOSIS_H_

#include "apps/catalog.h"
#include "apps/domain_session.h"
#include "apps/line_values.h"

namespace quillet::apps {

// Raises ToolFailure naming the first cause found, in this order: the
// refusal of a numbering policy in the component's last issue, no rule
// applies (or the search stopped: unknown item, item without class, missing
// coding rule), a rule without segments, a segment without a value and
// without a fill sign, an unknown department, a running number that is not a
// whole number, a second running number; else the error the evaluation
// itself raises, with its number; else, when `saving`, the database's error
// on writing the running number back unchanged (a lock, a read-only file).
[[noreturn]] void ExplainNoSerialNumber(DomainSession& session, Catalog& catalog,
                                        const LineValues& line, bool saving);

}  // namespace quillet::apps

#endif  // QUILLET_APPS_ISSUE_DIAGNOSIS_H_
