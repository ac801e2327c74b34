// Rule parts: a rule evaluated into prefix, running number, suffix, step,
// stored number and digits, as the rule parts document.
#ifndef QUILLET_GENERATION_RULE_PARTS_H_
#define QUILLET_GENERATION_RULE_PARTS_H_

#include <memory>
#include <optional>
#include <string>

#include "generation/rule_owner.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

struct RuleParts {
  // The rule parts document; empty (no root, empty text) on any failure.
  std::shared_ptr<XmlDocument> document;
  // cnumber exactly as read, for advancing it atomically; empty without a
  // running-number segment.
  std::string stored_text;
};

// getSNrule's evaluation. `cinvcode` receives the value document's item
// code. With `known_owner` the owner is taken as given instead of being
// resolved again (the batch has just resolved it). Never throws.
RuleParts EvaluateRuleParts(store::Connection& db, std::string& cinvcode,
                            const std::shared_ptr<XmlDocument>& values,
                            const std::optional<RuleOwner>& known_owner);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_RULE_PARTS_H_
