// Why an item's rule gave no serial number, said the tool's way: the
// library's explanation (quillet/diagnosis.h), asking for a missing value
// with the option that gives it.
#ifndef QUILLET_APPS_ISSUE_DIAGNOSIS_H_
#define QUILLET_APPS_ISSUE_DIAGNOSIS_H_

#include "apps/domain_session.h"
#include "apps/line_values.h"

namespace quillet::apps {

// Raises ToolFailure with ExplainEmptyIssue's sentence and number for the
// line's value document; a missing value is asked for as "add --set
// SOURCE=VALUE". Raises quillet::Error for a database failure.
[[noreturn]] void ExplainNoSerialNumber(DomainSession& session, const LineValues& line,
                                        bool saving);

}  // namespace quillet::apps

#endif  // QUILLET_APPS_ISSUE_DIAGNOSIS_H_
