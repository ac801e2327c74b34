// Rule parts: a rule evaluated into prefix, running number, suffix, step,
// stored number and digits, as the rule parts document.
#ifndef QUILLET_GENERATION_RULE_PARTS_H_
#define QUILLET_GENERATION_RULE_PARTS_H_

#include <memory>
#include <optional>
#include <string>

#include "generation/issue_call.h"
#include "generation/rule_evaluation.h"
#include "generation/rule_owner.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

// The rule's evaluation into the rule parts document; an empty document (no
// root, empty text) on any failure. `item_code` receives the value document's
// item code once it is read. With `known` the item and its owner are taken
// as given instead of being read and resolved again (the batch has just
// resolved them); with `read_number` the
// running number is read through it. With `call`, the rule's numbering
// policy applies: a rule that restarts its running number reports the
// counter of the line, and the end and warning number are checked, their
// refusal and warnings left in `call->notes`. Never throws.
std::shared_ptr<XmlDocument> EvaluateRuleParts(store::Connection& db,
                                               std::optional<std::string>& item_code,
                                               const std::shared_ptr<XmlDocument>& values,
                                               const std::optional<RuleSubject>& known,
                                               IssueCall* call = nullptr,
                                               const HeaderNumberReader& read_number = nullptr);

// The parts of the value document's item's rule, read only: the rule parts
// document (前缀, 流水, 后缀, 步长, 最大流水, 流水位数), under a numbering policy
// with the counter of the line and the limits checked. Never throws: a
// failure is the empty document, a policy's refusal in the notes.
Issued<std::shared_ptr<XmlDocument>> ReadRuleParts(store::Connection& db,
                                                   const std::shared_ptr<XmlDocument>& values);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_RULE_PARTS_H_
