// Issuing serial numbers through the component, with the cause of a failure
// found and said in plain words.
#ifndef QUILLET_APPS_ISSUING_H_
#define QUILLET_APPS_ISSUING_H_

#include <optional>
#include <string>
#include <vector>

#include "apps/domain_session.h"
#include "apps/line_values.h"

namespace quillet::apps {

// One serial number (getSNumber), or `count` consecutive ones (getSNbatch);
// with `save` the stored running number advances past them. Raises
// ToolFailure explaining why when the component gives none (see
// ExplainNoSerialNumber), or with the component's message when a batch's
// running number outgrows its digits.
std::vector<std::string> IssueSerialNumbers(DomainSession& session, const LineValues& line,
                                            std::optional<int> count, bool save);

}  // namespace quillet::apps

#endif  // QUILLET_APPS_ISSUING_H_
