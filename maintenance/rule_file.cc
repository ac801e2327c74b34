#include "maintenance/rule_file.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/segment_notation.h"
#include "core/utc_time.h"
#include "maintenance/refill_source_mapping.h"
#include "maintenance/rule_entry.h"
#include "maintenance/rule_history.h"
#include "maintenance/save_rule.h"
#include "quillet/error.h"
#include "store/history_queries.h"
#include "store/maintenance_rules.h"
#include "store/mapping_contrapose.h"
#include "store/policy_queries.h"
#include "store/rule_file_queries.h"
#include "store/rule_queries.h"
#include "store/write_pool.h"

namespace quillet::maintenance {
namespace {

int KindOrder(OwnerKind kind) {
  switch (kind) {
    case OwnerKind::kItem:
      return 0;
    case OwnerKind::kClass:
      return 1;
    case OwnerKind::kAll:
      return 2;
  }
  return 3;
}

nlohmann::ordered_json CodesOf(store::Connection& db) {
  nlohmann::ordered_json codes = nlohmann::ordered_json::array();
  for (const store::rule_file::UserCodeRow& row : store::rule_file::UserCodes(db)) {
    const std::optional<int32_t> type = service::ParseNumber<int32_t>(row.source_code);
    nlohmann::ordered_json code;
    code["source"] = type ? notation::SourceName(*type) : row.source_code;
    code["archive"] = row.table;
    code["content_type"] = row.content_type;
    code["width"] = row.width;
    code["value"] = row.value;
    code["code"] = row.code;
    codes.push_back(std::move(code));
  }
  return codes;
}

void RemoveRule(store::Connection& writer, const RuleOwner& owner, const std::string& user) {
  const auto rows = store::maintenance::OwnerRuleWithSegments(writer, owner);
  if (rows->Bof() && rows->Eof()) return;
  const Variant& name = rows->Field("rulename");
  const std::string rule_name = name.IsNull() ? "" : name.ToText();
  const std::string before = RuleEntryText(writer, owner);
  store::maintenance::DeleteOwnerHeader(writer, owner);
  store::maintenance::DeleteSegmentsNamed(writer, rule_name);
  if (store::policy::HasPolicyTables(writer)) {
    store::policy::DeletePolicy(writer, owner.code, owner.KindText());
  }
  RecordRuleChange(writer, owner, change::kDelete, before, user);
}

// The plan's comparison made again under the write transaction: numbers
// issued since the plan was read would otherwise be issued a second time.
void RequireForwardNow(const std::string& what, const RuleOwner& owner,
                       std::optional<int32_t> stored, const std::string& next) {
  const std::optional<int32_t> wanted = service::ParseNumber<int32_t>(next);
  if (!stored || !wanted || *wanted >= *stored) return;
  throw Error(errc::kGuarded, "the " + what + " of " + FormatOwner(owner) + " is " +
                                  std::to_string(*stored) +
                                  " by now: the rule file would set it back to " + next +
                                  ", which issues serial numbers again (give force to set it)");
}

void RequireNumbersForward(store::Connection& writer, const ImportRule& rule) {
  const std::string type = rule.owner.KindText();
  if (rule.next_number && !rule.next_number->empty()) {
    const auto locked = store::generation::LockedHeaderNumber(writer, rule.owner.code, type);
    const std::optional<int32_t> stored =
        locked->RecordCount() == 0 || locked->Field(0).IsNull()
            ? std::nullopt
            : service::ParseNumber<int32_t>(locked->Field(0).ToText());
    RequireForwardNow("next running number", rule.owner, stored, *rule.next_number);
  }
  for (const auto& [key, number] : rule.counters) {
    RequireForwardNow("counter " + key, rule.owner,
                      store::policy::CounterNumber(writer, rule.owner.code, type, key),
                      std::to_string(number));
  }
}

std::vector<RuleRow> WriteRule(store::Connection& writer, const ImportRule& rule, bool force,
                               const std::string& user) {
  if (!force) RequireNumbersForward(writer, rule);
  const std::string before = RuleEntryText(writer, rule.owner);
  std::vector<RuleRow> rows = WriteRuleDocument(writer, *rule.document, rule.owner, rule.name);
  if (rule.next_number) store::maintenance::SetRunningNumber(writer, rule.owner, *rule.next_number);
  for (const auto& [key, number] : rule.counters) {
    store::policy::SetCounter(writer, rule.owner.code, rule.owner.KindText(), key, number);
  }
  RecordRuleChange(writer, rule.owner, change::kSave, before, user);
  return rows;
}

void WriteCode(store::Connection& writer, const ImportCode& code, const std::string& user) {
  const std::optional<std::string> before =
      store::history::ArchiveCode(writer, code.table, code.value);
  store::mapping::PutUserCode(writer, {code.source_code, code.content_type, code.table, ""},
                              code.width, code.value, code.code);
  if (!store::history::HasHistoryTable(writer)) return;
  auto entry = [&](const std::optional<std::string>& text) {
    nlohmann::ordered_json form;
    form["archive"] = code.table;
    form["value"] = code.value;
    if (text) form["code"] = *text;
    return form.dump();
  };
  store::history::RecordChange(
      writer, {service::UtcTimestamp(), user, "", "", "code", entry(before), entry(code.code)});
}

}  // namespace

std::vector<RuleOwner> RuleOwnersInOrder(store::Connection& db) {
  std::vector<RuleOwner> owners;
  for (const auto& [code, type] : store::rule_file::RuleOwners(db)) {
    owners.push_back(RuleOwner::FromNumber(code, service::ParseNumber<int16_t>(type).value_or(-1)));
  }
  std::sort(owners.begin(), owners.end(), [](const RuleOwner& a, const RuleOwner& b) {
    return std::pair(KindOrder(a.kind), a.code) < std::pair(KindOrder(b.kind), b.code);
  });
  return owners;
}

nlohmann::ordered_json ExportRuleFile(store::Connection& db, const std::vector<RuleOwner>& owners,
                                      bool with_numbers, bool with_codes) {
  nlohmann::ordered_json file;
  file[kRuleFileKey] = kRuleFileVersion;
  std::vector<RuleOwner> chosen = owners;
  if (owners.empty()) {
    chosen = RuleOwnersInOrder(db);
  } else {
    nlohmann::ordered_json asked = nlohmann::ordered_json::array();
    for (const RuleOwner& owner : owners) asked.push_back(FormatOwner(owner));
    file["owners"] = std::move(asked);
  }
  nlohmann::ordered_json rules = nlohmann::ordered_json::array();
  for (const RuleOwner& owner : chosen) {
    if (auto entry = RuleEntry(db, owner, with_numbers)) rules.push_back(*std::move(entry));
  }
  file["rules"] = std::move(rules);
  if (with_codes) file["codes"] = CodesOf(db);
  return file;
}

void ApplyImport(store::Connection& db, const ImportPlan& plan, const std::string& user) {
  std::vector<RuleRow> saved;
  {
    auto writer = store::OpenWriteConnection(db);
    store::Connection::Transaction transaction(*writer);
    for (const RuleOwner& owner : plan.removed) RemoveRule(*writer, owner, user);
    for (const ImportRule& rule : plan.rules) {
      for (RuleRow& row : WriteRule(*writer, rule, plan.force, user)) {
        saved.push_back(std::move(row));
      }
    }
    for (const ImportCode& code : plan.codes) WriteCode(*writer, code, user);
    transaction.Commit();
  }
  for (const RuleRow& row : saved) {
    if (!IsMappedSourceType(row.untrimmed_type)) continue;
    try {
      RefillSourceMapping(db, Variant(row.untrimmed_type).ToInt16(),
                          Variant(row.segment.width).ToInt32(), row.segment.pad_sign);
    } catch (const Error& undescribed) {
      // A database that does not describe the data source (yet) has no
      // mappings to make; the next listing or issue makes them.
      if (undescribed.number() != errc::kObjectNotSet) throw;
    }
  }
}

}  // namespace quillet::maintenance
