// Deleting an owner's rule.
#ifndef QUILLET_MAINTENANCE_DELETE_RULE_H_
#define QUILLET_MAINTENANCE_DELETE_RULE_H_

#include <string>

#include "quillet/owner.h"
#include "store/connection.h"

namespace quillet::maintenance {

// Removes, in one transaction, the owner's header with its numbering policy
// and counters, and the segments named `rule_name` (whoever owns them). The
// mappings and the journal stay. Raises the database's errors, having
// removed nothing. The rule history records the deletion by `user`.
void DeleteRule(store::Connection& db, const RuleOwner& owner, const std::string& rule_name,
                const std::string& user = {});

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_DELETE_RULE_H_
