#include "maintenance/rule_lookup.h"

#include "store/maintenance_rules.h"
#include "store/write_pool.h"

namespace quillet::maintenance {

std::shared_ptr<RecordSet> OwnerRule(store::Connection& db, const RuleOwner& owner) {
  return store::maintenance::OwnerRuleWithSegments(db, owner)->Clone();
}

Variant StoredRunningNumber(store::Connection& db, const RuleOwner& owner) {
  const auto number = store::maintenance::OwnerRunningNumber(db, owner);
  return number->Bof() && number->Eof() ? Variant("") : number->Field("cnumber");
}

void SetStoredRunningNumber(store::Connection& db, const RuleOwner& owner,
                            const std::string& number) {
  auto writer = store::OpenWriteConnection(db);
  store::maintenance::SetRunningNumber(*writer, owner, number);
}

}  // namespace quillet::maintenance
