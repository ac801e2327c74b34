#include "maintenance/rule_lookup.h"

#include "core/field_text.h"
#include "maintenance/rule_entry.h"
#include "maintenance/rule_history.h"
#include "store/maintenance_rules.h"
#include "store/policy_queries.h"
#include "store/write_pool.h"

namespace quillet::maintenance {

std::shared_ptr<RecordSet> OwnerRule(store::Connection& db, const RuleOwner& owner) {
  return store::maintenance::OwnerRuleWithSegments(db, owner)->Clone();
}

Variant StoredRunningNumber(store::Connection& db, const RuleOwner& owner) {
  const auto number = store::maintenance::OwnerRunningNumber(db, owner);
  return number->Bof() && number->Eof() ? Variant("") : number->Field("cnumber");
}

std::string RuleName(store::Connection& db, const RuleOwner& owner) {
  const auto name = store::maintenance::OwnerRuleName(db, owner);
  return name->Bof() && name->Eof() ? std::string() : FieldTextOrEmpty(name->Field("rulename"));
}

void SetStoredRunningNumber(store::Connection& db, const RuleOwner& owner,
                            const std::string& number, const std::string& user) {
  auto writer = store::OpenWriteConnection(db);
  store::Connection::Transaction transaction(*writer);
  const std::string before = RuleEntryText(*writer, owner);
  store::maintenance::SetRunningNumber(*writer, owner, number);
  // An owner without a header has nothing changed to record.
  if (!before.empty()) RecordRuleChange(*writer, owner, change::kNumber, before, user);
  transaction.Commit();
}

void SetCounterNumber(store::Connection& db, const RuleOwner& owner, const std::string& key,
                      int32_t number, const std::string& user) {
  auto writer = store::OpenWriteConnection(db);
  store::Connection::Transaction transaction(*writer);
  const std::string before = RuleEntryText(*writer, owner);
  store::policy::SetCounter(*writer, owner.code, owner.KindText(), key, number);
  RecordRuleChange(*writer, owner, change::kNumber, before, user);
  transaction.Commit();
}

}  // namespace quillet::maintenance
