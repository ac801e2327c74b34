#include "maintenance/rule_entry.h"

#include "core/field_text.h"
#include "core/segment_notation.h"
#include "generation/policy_issue.h"
#include "store/database_error.h"
#include "store/history_queries.h"
#include "store/maintenance_rules.h"
#include "store/policy_queries.h"

namespace quillet::maintenance {
namespace {

int32_t NumberOf(const Variant& field) { return field.IsNull() ? 0 : field.ToInt32(); }

notation::Segment SegmentOfRow(const RecordSet& row) {
  return {
      NumberOf(row.Field("cdatasrctype")),         FieldTextOrEmpty(row.Field("cdatasrcformat")),
      NumberOf(row.Field("iformatlength")),        FieldTextOrEmpty(row.Field("cpatchsign")),
      FieldTextOrEmpty(row.Field("creplacesign")), NumberOf(row.Field("isteplength"))};
}

nlohmann::ordered_json CountersOf(store::Connection& db, const RuleOwner& owner) {
  nlohmann::ordered_json counters = nlohmann::ordered_json::object();
  if (!store::policy::HasPolicyTables(db)) return counters;
  for (const auto& [key, number] :
       store::history::OwnerCounters(db, owner.code, owner.KindText())) {
    counters[key] = number;
  }
  return counters;
}

}  // namespace

std::optional<nlohmann::ordered_json> RuleEntry(store::Connection& db, const RuleOwner& owner,
                                                bool with_numbers) {
  const auto rows = store::maintenance::OwnerRuleWithSegments(db, owner);
  if (rows->Bof() && rows->Eof()) return std::nullopt;
  // Inside a transaction a missing table would end it: ask first.
  const std::optional<NumberingPolicy> policy =
      store::policy::HasPolicyTables(db) ? generation::PolicyOf(db, owner) : std::nullopt;
  nlohmann::ordered_json entry;
  entry["owner"] = FormatOwner(owner);
  entry["name"] = FieldTextOrEmpty(rows->Field("rulename"));
  entry["owner_name"] = FieldTextOrEmpty(rows->Field("cinvname"));
  const std::string next_number = FieldTextOrEmpty(rows->Field("cnumber"));
  nlohmann::ordered_json segments = nlohmann::ordered_json::array();
  // A header without segments comes as one row whose segment columns are null.
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    if (rows->Field("cdatasrctype").IsNull()) continue;
    notation::Segment segment = SegmentOfRow(*rows);
    if (segment.type == notation::source::kNumber && policy) segment.policy = *policy;
    segments.push_back(notation::FormatSegment(segment));
  }
  entry["segments"] = std::move(segments);
  if (!with_numbers) return entry;
  entry["next_number"] = next_number;
  nlohmann::ordered_json counters = CountersOf(db, owner);
  if (!counters.empty()) entry["counters"] = std::move(counters);
  return entry;
}

std::string RuleEntryText(store::Connection& db, const RuleOwner& owner) {
  try {
    const std::optional<nlohmann::ordered_json> entry = RuleEntry(db, owner, true);
    return entry ? entry->dump() : std::string();
  } catch (const store::DatabaseFailure&) {
    throw;
  } catch (const Error& unreadable) {
    // A stored value out of range (the old class stores what it is given)
    // keeps no change from being recorded.
    nlohmann::ordered_json entry;
    entry["owner"] = FormatOwner(owner);
    entry["unreadable"] = unreadable.description();
    return entry.dump();
  }
}

}  // namespace quillet::maintenance
