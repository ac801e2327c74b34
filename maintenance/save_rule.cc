#include "maintenance/save_rule.h"

#include "core/mod_language.h"
#include "maintenance/refill_source_mapping.h"
#include "maintenance/rule_document.h"
#include "maintenance/rule_entry.h"
#include "maintenance/rule_history.h"
#include "quillet/error.h"
#include "store/database_error.h"
#include "store/maintenance_rules.h"
#include "store/policy_queries.h"
#include "store/write_pool.h"

namespace quillet::maintenance {
namespace {

// A rule name belongs to one owner: true when the first header carrying it
// is another owner's. A null stored key does not count as different.
bool NameBelongsToAnotherOwner(store::Connection& writer, const std::string& rule_name,
                               const RuleOwner& owner) {
  const auto headers = store::maintenance::HeadersNamed(writer, rule_name);
  if (headers->Bof() && headers->Eof()) return false;
  const Variant& code = headers->Field("cinvcode");
  const Variant& type = headers->Field("cinvtype");
  const bool code_differs = !code.IsNull() && code.ToText() != owner.code;
  const bool type_differs =
      !type.IsNull() && type.ToDouble() != static_cast<double>(owner.KindNumber());
  return code_differs || type_differs;
}

// The statements of one save, in the caller's transaction. The owner keeps its
// stored running number; a new owner starts with the empty text, or with the
// start value of its running-number segment. An existing header is changed in
// place: an issue waiting for its lock then goes on with it.
void WriteRule(store::Connection& writer, const RuleOwner& owner, const std::string& owner_name,
               const std::string& rule_name, const std::vector<RuleRow>& rows) {
  const auto header = store::maintenance::OwnerHeaderForUpdate(writer, owner);
  std::string kept_number;
  if (!(header->Bof() && header->Eof())) {
    kept_number = header->Field("cnumber").ToText();
    store::maintenance::RenameHeader(writer, owner, owner_name, rule_name);
  } else {
    store::maintenance::InsertHeader(writer, owner, owner_name, rule_name, kept_number);
  }
  store::maintenance::DeleteOwnerSegments(writer, owner);
  for (const RuleRow& row : rows) {
    store::maintenance::InsertSegment(writer, rule_name, owner, row.segment);
    if (IsMappedSourceType(row.untrimmed_type)) {
      store::maintenance::ShareSourceSettings(writer, row.segment);
      store::maintenance::DeleteGeneratedMappings(writer, row.segment.source_type);
    } else if (row.untrimmed_type == "10" && kept_number.empty()) {
      // A stored running number stays, whatever start value the rule gives.
      store::maintenance::SetRunningNumber(writer, owner, row.segment.format);
    }
  }
}

}  // namespace

std::vector<RuleRow> WriteRuleDocument(store::Connection& writer, const XmlDocument& rule,
                                       const RuleOwner& owner, const std::string& rule_name) {
  std::vector<RuleRow> rows = ReadRuleRows(rule);
  RequireWidthsInRange(rows);
  const NumberingPolicy policy = ReadNumberingPolicy(rows, rule);
  WriteRule(writer, owner, ReadOwnerName(rule), rule_name, rows);
  // A database without the policy tables holds no policy to replace.
  if (!policy.IsDefault() || store::policy::HasPolicyTables(writer)) {
    store::policy::SavePolicy(writer, owner.code, owner.KindText(), policy);
  }
  return rows;
}

namespace {

// Regenerates the mapping rows of every mapped type, once per row using it.
void RefillMappings(store::Connection& db, const std::vector<RuleRow>& rows) {
  for (const RuleRow& row : rows) {
    if (!IsMappedSourceType(row.untrimmed_type)) continue;
    RefillSourceMapping(db, Variant(row.untrimmed_type).ToInt16(),
                        Variant(row.segment.width).ToInt32(), row.segment.pad_sign);
  }
}

// One attempt at the save, in one transaction: the name check and the
// statements see the same data, and a failure leaves the owner's previous
// rule, running number and mappings as they were. Returns false, having
// written nothing, when the name belongs to another owner.
bool SaveInOneTransaction(store::Connection& db, const XmlDocument& rule, const RuleOwner& owner,
                          const std::string& rule_name, const std::string& user,
                          std::vector<RuleRow>& rows) {
  auto writer = store::OpenWriteConnection(db);
  store::Connection::Transaction transaction(*writer);
  if (NameBelongsToAnotherOwner(*writer, rule_name, owner)) return false;
  const std::string before = RuleEntryText(*writer, owner);
  rows = WriteRuleDocument(*writer, rule, owner, rule_name);
  RecordRuleChange(*writer, owner, change::kSave, before, user);
  transaction.Commit();
  return true;
}

}  // namespace

std::optional<std::string> SaveRule(store::Connection& db, const std::shared_ptr<XmlDocument>& rule,
                                    const RuleOwner& owner, const std::string& rule_name,
                                    const std::string& user) {
  if (!rule) throw Error::ObjectNotSet();
  std::vector<RuleRow> rows;
  for (int attempt = 1;; ++attempt) {
    try {
      if (SaveInOneTransaction(db, *rule, owner, rule_name, user, rows)) break;
      return modLanguage::GetResStringEx("Vell.SO.lotnumber.00056", {Variant(rule_name)});
    } catch (const Error& error) {
      // A save of the same name or owner committed after this one read: the
      // unique keys refused the second copy. Once more, this save sees it.
      if (attempt > 1 || !store::IsUniqueViolation(error)) throw;
    }
  }
  RefillMappings(db, rows);
  return std::nullopt;
}

}  // namespace quillet::maintenance
