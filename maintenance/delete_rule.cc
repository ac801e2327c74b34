#include "maintenance/delete_rule.h"

#include "maintenance/rule_entry.h"
#include "maintenance/rule_history.h"
#include "store/maintenance_rules.h"
#include "store/policy_queries.h"
#include "store/write_pool.h"

namespace quillet::maintenance {

void DeleteRule(store::Connection& db, const RuleOwner& owner, const std::string& rule_name,
                const std::string& user) {
  // The header goes by owner, the segments by rule name; mapping rows stay.
  auto writer = store::OpenWriteConnection(db);
  store::Connection::Transaction transaction(*writer);
  const std::string before = RuleEntryText(*writer, owner);
  store::maintenance::DeleteOwnerHeader(*writer, owner);
  store::maintenance::DeleteSegmentsNamed(*writer, rule_name);
  // The owner's policy and counters go with its header; the journal stays.
  if (store::policy::HasPolicyTables(*writer)) {
    store::policy::DeletePolicy(*writer, owner.code, owner.KindText());
  }
  RecordRuleChange(*writer, owner, change::kDelete, before, user);
  transaction.Commit();
}

}  // namespace quillet::maintenance
