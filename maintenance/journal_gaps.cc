#include "maintenance/journal_gaps.h"

#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "core/field_text.h"
#include "core/number_text.h"
#include "core/text_functions.h"
#include "generation/policy_lookup.h"
#include "store/history_queries.h"
#include "store/maintenance_rules.h"
#include "store/void_queries.h"

namespace quillet::maintenance {
namespace {

constexpr char kPrefixSeparator = '\x1f';

// What the gaps read of the rule: its running number's settings and policy.
struct NumberRule {
  NumberingPolicy policy;
  int32_t start = 1;
  int32_t step = 1;
  int32_t width = 0;
  std::string pad = "0";
  std::string next_number;  // the stored one, for a rule that does not restart
};

std::optional<NumberRule> NumberRuleOf(generation::Reader& reader, const RuleOwner& owner) {
  const std::optional<NumberingPolicy> policy = generation::OwnerPolicy(reader, owner);
  if (!policy || !(policy->journal || policy->unique)) return std::nullopt;
  const auto rows = store::maintenance::OwnerRuleWithSegments(reader.connection(), owner);
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    const Variant& type = rows->Field("cdatasrctype");
    if (type.IsNull() || type.ToInt32() != 10) continue;
    NumberRule rule;
    rule.policy = *policy;
    rule.start =
        service::ParseNumber<int32_t>(FieldTextOrEmpty(rows->Field("cdatasrcformat"))).value_or(1);
    rule.step = std::max<int32_t>(1, rows->Field("isteplength").ToInt32());
    rule.width = rows->Field("iformatlength").ToInt32();
    const std::string pad = FieldTextOrEmpty(rows->Field("cpatchsign"));
    if (!pad.empty()) rule.pad = pad;
    rule.next_number = FieldTextOrEmpty(rows->Field("cnumber"));
    return rule;
  }
  return std::nullopt;
}

std::string PeriodOf(Restart restart, const std::string& date) {
  const std::optional<std::string> day = DayOfDateValue(date);
  if (!day) return {};
  return day->substr(0, restart == Restart::kYear ? 4 : restart == Restart::kMonth ? 7 : 10);
}

// The text around the running number of a serial number, as a counter per
// prefix keys it.
std::string PrefixKeyOf(const NumberRule& rule, const std::string& serial, int32_t number) {
  std::string digits = std::to_string(number);
  const auto width = static_cast<std::size_t>(std::max(0, rule.width));
  if (digits.size() < width) digits.insert(0, width - digits.size(), rule.pad.front());
  const std::size_t at = serial.rfind(digits);
  if (at == std::string::npos) return serial;
  return serial.substr(0, at) + kPrefixSeparator + serial.substr(at + digits.size());
}

std::string KeyOf(const NumberRule& rule, const generation::JournalEntry& entry) {
  switch (rule.policy.restart) {
    case Restart::kNever:
      return {};
    case Restart::kPrefix:
      return PrefixKeyOf(rule, entry.serial, *entry.number);
    default:
      return PeriodOf(rule.policy.restart, entry.document_date);
  }
}

// A stretch of numbers a number set jumped over: [from, to).
struct Jump {
  int32_t from = 0;
  int32_t to = 0;
  std::string detail;
};

std::optional<int32_t> NumberIn(const nlohmann::json& rule, const std::string& key) {
  if (!rule.is_object()) return std::nullopt;
  if (key.empty()) {
    return service::ParseNumber<int32_t>(rule.value("next_number", std::string()));
  }
  const nlohmann::json counters = rule.value("counters", nlohmann::json::object());
  const auto found = counters.find(key);
  if (found == counters.end() || !found->is_number_integer()) return std::nullopt;
  return found->get<int32_t>();
}

std::map<std::string, std::vector<Jump>> JumpsOf(store::Connection& db, const RuleOwner& owner,
                                                 const NumberRule& rule,
                                                 const std::set<std::string>& keys) {
  std::map<std::string, std::vector<Jump>> jumps;
  if (!store::history::HasHistoryTable(db)) return jumps;
  for (const auto& row :
       store::history::ReadHistory(db, owner.code, owner.KindText(), std::nullopt)) {
    if (row.kind != "number") continue;
    const auto before = nlohmann::json::parse(row.before, nullptr, false);
    const auto after = nlohmann::json::parse(row.after, nullptr, false);
    for (const std::string& key : keys) {
      const std::optional<int32_t> to = NumberIn(after, key);
      const int32_t from = NumberIn(before, key).value_or(rule.start);
      if (!to || *to <= from) continue;
      jumps[key].push_back({from, *to,
                            "set from " + std::to_string(from) + " to " + std::to_string(*to) +
                                " by " + (row.user.empty() ? "(unknown)" : row.user) + " at " +
                                row.changed});
    }
  }
  return jumps;
}

// The number each counter gives next: the stored one, else past the last issue.
int32_t NextOf(store::Connection& db, const RuleOwner& owner, const NumberRule& rule,
               const std::string& key, int32_t last_issued) {
  std::optional<int32_t> next;
  if (key.empty()) {
    next = service::ParseNumber<int32_t>(rule.next_number);
  } else {
    for (const auto& [stored, number] :
         store::history::OwnerCounters(db, owner.code, owner.KindText())) {
      if (stored == key) next = number;
    }
  }
  return next.value_or(last_issued + rule.step);
}

struct Counter {
  std::set<int32_t> issued;
  std::map<int32_t, std::string> voided;  // number to its detail
};

void AddGaps(const std::string& key, const Counter& counter, int32_t from, int32_t next,
             const NumberRule& rule, const std::vector<Jump>& jumps, std::vector<GapRow>& gaps) {
  for (int64_t n = from; n < next; n += rule.step) {
    const auto number = static_cast<int32_t>(n);
    if (const auto voided = counter.voided.find(number); voided != counter.voided.end()) {
      gaps.push_back({key, number, gap::kVoided, voided->second});
      continue;
    }
    if (counter.issued.count(number) > 0) continue;
    GapRow row{key, number, gap::kFailedSave, "used up, but no issue of it was recorded"};
    for (const Jump& jump : jumps) {
      if (number >= jump.from && number < jump.to)
        row = {key, number, gap::kSetForward, jump.detail};
    }
    gaps.push_back(std::move(row));
  }
}

}  // namespace

std::optional<std::vector<GapRow>> JournalGaps(generation::Reader& reader, const RuleOwner& owner,
                                               const std::optional<std::string>& since) {
  const std::optional<NumberRule> rule = NumberRuleOf(reader, owner);
  if (!rule) return std::nullopt;
  store::Connection& db = reader.connection();
  std::map<std::string, std::string> void_details;
  for (const store::voided::VoidRow& row :
       store::voided::OwnerVoids(db, owner.code, owner.KindText())) {
    void_details[row.serial] = "by " + (row.user.empty() ? "(unknown)" : row.user) + " at " +
                               row.voided + ": " + row.reason;
  }
  std::map<std::string, Counter> counters;
  for (const generation::JournalEntry& entry : generation::ReadJournal(reader, owner, since)) {
    if (!entry.number) continue;
    Counter& counter = counters[KeyOf(*rule, entry)];
    counter.issued.insert(*entry.number);
    const auto voided = void_details.find(entry.serial);
    if (voided != void_details.end()) counter.voided[*entry.number] = voided->second;
  }
  std::set<std::string> keys;
  for (const auto& [key, counter] : counters) keys.insert(key);
  const auto jumps = JumpsOf(db, owner, *rule, keys);
  std::vector<GapRow> gaps;
  for (const auto& [key, counter] : counters) {
    const bool period = rule->policy.restart != Restart::kNever && !since;
    const int32_t from = period ? rule->start : *counter.issued.begin();
    const int32_t next = NextOf(db, owner, *rule, key, *counter.issued.rbegin());
    const auto found = jumps.find(key);
    AddGaps(key, counter, from, next, *rule,
            found == jumps.end() ? std::vector<Jump>{} : found->second, gaps);
  }
  return gaps;
}

}  // namespace quillet::maintenance
