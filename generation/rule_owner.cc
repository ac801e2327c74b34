#include "generation/rule_owner.h"

#include <set>
#include <vector>

#include "generation/level_code.h"
#include "store/rule_queries.h"

namespace quillet::generation {

bool HasSNRule(store::Connection& db, const RuleOwner& owner) {
  return store::generation::HeaderExists(db, owner.code, owner.KindText());
}

namespace {

// The facts of one kind as a record set of `columns`, so that reading a
// missing row or a null fails as reading its own query would.
RecordSet FactsOfKind(const RecordSet& facts, int32_t kind, std::vector<Column> columns) {
  std::vector<std::vector<Variant>> rows;
  for (const auto& row : facts.rows()) {
    if (row[0].ToInt32() != kind) continue;
    rows.push_back(std::vector<Variant>(row.begin() + 1, row.begin() + 1 + columns.size()));
  }
  return RecordSet(std::move(columns), std::move(rows));
}

}  // namespace

std::optional<RuleOwner> GetRuleOwner(store::Connection& db, const std::string& item_code) {
  return OwnerOfFacts(*store::generation::OwnerFacts(db, item_code), item_code);
}

std::optional<RuleOwner> OwnerOfFacts(const RecordSet& facts, const std::string& item_code) {
  namespace queries = store::generation;
  if (FactsOfKind(facts, queries::kOwnFact, {{"code"}}).RecordCount() > 0) {
    return RuleOwner{item_code, OwnerKind::kItem};
  }
  const RecordSet item_class =
      FactsOfKind(facts, queries::kClassFact, {{"cinvccode"}, {"iinvcgrade"}});
  RuleOwner candidate{item_class.Field("cinvccode").ToText(), OwnerKind::kClass};
  const int16_t class_level = item_class.Field("iinvcgrade").ToInt16();
  // Read before the class's own header is asked for: a missing coding rule
  // fails the search even when the class has a header.
  const std::string coding_rule =
      FactsOfKind(facts, queries::kRuleFact, {{"CODINGRULE"}}).Field("CODINGRULE").ToText();

  std::set<std::string> headed_classes;
  for (const auto& row : facts.rows()) {
    if (row[0].ToInt32() == queries::kAncestryFact) headed_classes.insert(row[1].ToText());
  }
  if (headed_classes.contains(candidate.code)) return candidate;
  // Ancestors by cutting the code, nearest first; no class row is needed.
  for (int32_t level = class_level; level >= 2; --level) {
    candidate.code = DropLastCharacters(candidate.code, LevelWidth(coding_rule, level));
    if (headed_classes.contains(candidate.code)) return candidate;
  }

  if (FactsOfKind(facts, queries::kAllFact, {{"code"}}).RecordCount() > 0) {
    return RuleOwner{"all", OwnerKind::kAll};
  }
  return std::nullopt;
}

}  // namespace quillet::generation
