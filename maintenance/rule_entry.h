// A stored rule in the form a rule file writes it: the owner's word, the
// rule's name, the owner's name, the segments in the segment notation (the
// running number's carrying the policies) and, when asked, the running
// number and the counters of a rule that restarts.
#ifndef QUILLET_MAINTENANCE_RULE_ENTRY_H_
#define QUILLET_MAINTENANCE_RULE_ENTRY_H_

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "quillet/owner.h"
#include "store/connection.h"

namespace quillet::maintenance {

// The owner's rule as a rule file's entry, keys in the order owner, name,
// owner_name, segments, then with `with_numbers` next_number (the stored
// text) and counters (key to next number, only when there are any); nullopt
// when the owner has no rule. Raises the database's errors.
std::optional<nlohmann::ordered_json> RuleEntry(store::Connection& db, const RuleOwner& owner,
                                                bool with_numbers);

// The entry with numbers as compact JSON text; "" when the owner has no rule;
// {"owner", "unreadable": the reason} for a rule whose stored values do not
// read. Raises the database's errors.
std::string RuleEntryText(store::Connection& db, const RuleOwner& owner);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_RULE_ENTRY_H_
