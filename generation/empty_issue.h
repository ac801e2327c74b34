// Why an issue gave no serial number: the cause looked for on the database
// and said in one sentence, with segments and owners written as the tool
// writes them.
#ifndef QUILLET_GENERATION_EMPTY_ISSUE_H_
#define QUILLET_GENERATION_EMPTY_ISSUE_H_

#include <optional>

#include "quillet/diagnosis.h"
#include "quillet/error.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

// The first cause found for the value document `values`, in this order:
// `refusal` (a numbering policy's, from the issue itself); no rule applies,
// or the search stopped (an unknown item, an item without class, no coding
// rule); a rule without segments; a segment without a value and without a
// fill sign; an unknown department; a running number that is not a whole
// number; a second running number; the error the evaluation itself raises,
// with its number; with `saving`, the database's refusal to write the
// running number, found by writing it back unchanged; else that the rule
// gave nothing. A missing value is asked for through `ask_value` (the
// default asks for the value document's row). Raises the database's errors,
// and errc::kObjectNotSet for a value document without an item code.
// Thread safety: that of the connection.
EmptyIssueReason ExplainEmptyIssue(store::Connection& db, const XmlDocument& values, bool saving,
                                   const std::optional<Error>& refusal,
                                   const ValueRequest& ask_value = nullptr);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_EMPTY_ISSUE_H_
