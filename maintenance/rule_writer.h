// The statements of a rule save, for a caller that writes more in the same
// transaction (SaveSNRulesrv, and the demo company's set-up).
#ifndef QUILLET_MAINTENANCE_RULE_WRITER_H_
#define QUILLET_MAINTENANCE_RULE_WRITER_H_

#include <string>
#include <vector>

#include "core/rule_owner.h"
#include "maintenance/rule_document.h"
#include "quillet/xml_document.h"
#include "store/connection.h"
#include "store/maintenance_rules.h"

namespace quillet::maintenance {

// Stores the owner's rule from a rule document on `writer`, in the caller's
// transaction, as SaveSNRulesrv does between its name check and its rebuild
// of the generated mappings (neither of which it does): the header changed in
// place or created (the owner keeps its running number), the segments
// replaced, the shared settings of mapped data sources written to every rule
// and their generated mappings deleted, the numbering policy replaced.
// Returns the document's rows. Raises as ReadRuleRows and
// ReadNumberingPolicy do, and the database's errors.
std::vector<RuleRow> WriteRuleDocument(store::Connection& writer, const XmlDocument& rule,
                                       const RuleOwner& owner, const std::string& rule_name);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_RULE_WRITER_H_
