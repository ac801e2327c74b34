// An owner's rule and running number, as the setup screen reads and sets them.
#ifndef QUILLET_MAINTENANCE_RULE_LOOKUP_H_
#define QUILLET_MAINTENANCE_RULE_LOOKUP_H_

#include <memory>
#include <string>

#include "quillet/owner.h"
#include "quillet/recordset.h"
#include "quillet/variant.h"
#include "store/connection.h"

namespace quillet::maintenance {

// The owner's header joined with its segments in ascending igrade; no rows
// when the owner has no rule. Raises the database's errors.
std::shared_ptr<RecordSet> OwnerRule(store::Connection& db, const RuleOwner& owner);

// The owner's stored running number (SNrulemain.cnumber) as the database
// gives it, null included; the empty text when the owner has no header.
Variant StoredRunningNumber(store::Connection& db, const RuleOwner& owner);

// The name of the owner's rule; the empty text when the owner has no header.
// Raises the database's errors.
std::string RuleName(store::Connection& db, const RuleOwner& owner);

// Stores `number` as the owner's running number on a write connection, with
// its entry in the rule history by `user`, in one transaction; an owner
// without a header is left alone. Raises the database's errors.
void SetStoredRunningNumber(store::Connection& db, const RuleOwner& owner,
                            const std::string& number, const std::string& user = {});

// Makes `number` the next number of the owner's counter `key` (a rule that
// restarts its running number), on a write connection, with its entry in the
// rule history by `user`, in one transaction. Raises the database's errors.
void SetCounterNumber(store::Connection& db, const RuleOwner& owner, const std::string& key,
                      int32_t number, const std::string& user = {});

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_RULE_LOOKUP_H_
