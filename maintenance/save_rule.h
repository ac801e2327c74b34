// Saving an owner's rule from the setup screen's rule document.
#ifndef QUILLET_MAINTENANCE_SAVE_RULE_H_
#define QUILLET_MAINTENANCE_SAVE_RULE_H_

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "maintenance/rule_document.h"
#include "quillet/owner.h"
#include "quillet/xml_document.h"
#include "store/connection.h"
#include "store/maintenance_rules.h"

namespace quillet::maintenance {

// Stores the owner's rule named `rule_name` from the rule document `rule`, in
// one transaction on a write connection, with its entry in the rule history
// by `user`, then regenerates the mappings of
// every mapped data source the rule uses. Returns the refusal's message,
// having written nothing, when another owner's rule has the name; nullopt
// when saved. Raises errc::kObjectNotSet for no document, the errors of
// ReadRuleRows and ReadNumberingPolicy, and the database's; a failure leaves
// the owner's previous rule, running number and mappings as they were.
std::optional<std::string> SaveRule(store::Connection& db, const std::shared_ptr<XmlDocument>& rule,
                                    const RuleOwner& owner, const std::string& rule_name,
                                    const std::string& user = {});

// The statements of a rule save, for a caller that writes more in the same
// transaction (the demo company's set-up): stores the owner's rule from a
// rule document on `writer`, in the caller's transaction, as SaveRule does
// between its name check and its rebuild
// of the generated mappings (neither of which it does): the header changed in
// place or created (the owner keeps its running number), the segments
// replaced, the shared settings of mapped data sources written to every rule
// and their generated mappings deleted, the numbering policy replaced.
// Returns the document's rows. Raises as ReadRuleRows and
// ReadNumberingPolicy do, and the database's errors.
std::vector<RuleRow> WriteRuleDocument(store::Connection& writer, const XmlDocument& rule,
                                       const RuleOwner& owner, const std::string& rule_name);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_SAVE_RULE_H_
