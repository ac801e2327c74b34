// Rule resolution: which rule header applies to an item.
#ifndef QUILLET_GENERATION_RULE_OWNER_H_
#define QUILLET_GENERATION_RULE_OWNER_H_

#include <cstdint>
#include <optional>
#include <string>

#include "quillet/owner.h"
#include "quillet/recordset.h"
#include "store/connection.h"

namespace quillet::generation {

// Whether a rule header exists for the owner. Raises the database's error.
bool HasSNRule(store::Connection& db, const RuleOwner& owner);

// The owner whose header applies to `item_code`: the item itself, else its
// class, else each ancestor class (cut by the "inventoryclass" coding rule,
// nearest first), else "all"; nullopt when none has a header. Raises, rather
// than answering nullopt, for an item without its own header that is not in
// inventory or has no class, a missing coding rule, a coding rule character
// that is not a digit where one is needed (errc::kTypeMismatch), a digit
// longer than what is left of the class code (errc::kInvalidArgument), and
// any database error. Sends one query, whatever the item's level.
std::optional<RuleOwner> GetRuleOwner(store::Connection& db, const std::string& item_code);

// GetRuleOwner's answer from facts read already, in the shape of
// store::generation::OwnerFacts (kind, code, grade). Raises as GetRuleOwner.
std::optional<RuleOwner> OwnerOfFacts(const RecordSet& facts, const std::string& item_code);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_RULE_OWNER_H_
