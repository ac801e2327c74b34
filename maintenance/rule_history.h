// Recording a change in the rule history, in the transaction of the change.
#ifndef QUILLET_MAINTENANCE_RULE_HISTORY_H_
#define QUILLET_MAINTENANCE_RULE_HISTORY_H_

#include <optional>
#include <string>
#include <vector>

#include "quillet/owner.h"
#include "store/connection.h"
#include "store/history_queries.h"

namespace quillet::maintenance {

// The kinds of change the history records.
namespace change {
inline constexpr const char* kSave = "save";
inline constexpr const char* kDelete = "delete";
inline constexpr const char* kNumber = "number";
}  // namespace change

// Records that the owner's rule changed by `kind`, by `user`, from `before`
// (RuleEntryText before the change) to the rule as it now stands on
// `writer`, in the caller's transaction. A database without the history
// table records nothing. Raises the database's errors.
void RecordRuleChange(store::Connection& writer, const RuleOwner& owner, const std::string& kind,
                      const std::string& before, const std::string& user);

// The history, oldest first, of one owner when given, changed at or after
// `since` (UTC, compared as text) when given. Raises the database's errors;
// a database without the history table raises what IsMissingTable
// recognises.
std::vector<store::history::HistoryRow> ReadHistory(store::Connection& db,
                                                    const std::optional<RuleOwner>& owner,
                                                    const std::optional<std::string>& since);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_RULE_HISTORY_H_
