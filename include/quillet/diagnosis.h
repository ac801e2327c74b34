// Why an issuing method gave nothing. getSNumber and getLineSNum answer a
// failure with the empty text, getSNbatch with empty entries, getSNrule with
// an empty document; this looks for the cause and says it in one sentence.
#ifndef QUILLET_DIAGNOSIS_H_
#define QUILLET_DIAGNOSIS_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "quillet/export.h"
#include "quillet/quillet.h"
#include "quillet/xml_document.h"

namespace quillet {

// A cause found: one sentence, and the error number of the layer that
// raised, when one did.
struct EmptyIssueReason {
  std::string text;
  std::optional<int32_t> number;
};

// How the sentence asks for a value the line lacks, given the data source's
// name and type ("warehouse", 4). The default asks for the value document's
// row of that type.
using ValueRequest = std::function<std::string(const std::string& source, int type)>;

// Why an issuing method of `object` (bound by init) answered empty for the
// value document `values`: the first cause found, in this order: the refusal
// of a numbering policy in the object's last issue (LastIssueNotes); no rule
// applies, or the search stopped (an unknown item, an item without class, no
// coding rule); a rule without segments; a segment without a value and
// without a fill sign; an unknown department; a running number that is not a
// whole number; a second running number; the error the evaluation itself
// raises, with its number; with `saving`, the database's refusal to write the
// running number (a lock held too long, a read-only file), found by writing
// it back unchanged; else that the rule gave nothing. Segments and owners are
// written as the tool writes them ("segment 2 (warehouse,width=3) of
// item:LW-CL-200"). Raises the database's errors, and errc::kObjectNotSet for
// a value document without an item code. Used on the object's thread.
QUILLET_EXPORT EmptyIssueReason ExplainEmptyIssue(clsQuillet& object, const XmlDocument& values,
                                                  bool saving,
                                                  const ValueRequest& ask_value = nullptr);

}  // namespace quillet

#endif  // QUILLET_DIAGNOSIS_H_
