#include "maintenance/rule_history.h"

#include "core/utc_time.h"
#include "maintenance/rule_entry.h"
#include "store/history_queries.h"

namespace quillet::maintenance {

void RecordRuleChange(store::Connection& writer, const RuleOwner& owner, const std::string& kind,
                      const std::string& before, const std::string& user) {
  if (!store::history::HasHistoryTable(writer)) return;
  store::history::RecordChange(writer, {service::UtcTimestamp(), user, owner.code, owner.KindText(),
                                        kind, before, RuleEntryText(writer, owner)});
}

std::vector<store::history::HistoryRow> ReadHistory(store::Connection& db,
                                                    const std::optional<RuleOwner>& owner,
                                                    const std::optional<std::string>& since) {
  if (!owner) return store::history::ReadHistory(db, std::nullopt, std::nullopt, since);
  return store::history::ReadHistory(db, owner->code, owner->KindText(), since);
}

}  // namespace quillet::maintenance
