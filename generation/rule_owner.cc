#include "generation/rule_owner.h"

#include "generation/level_code.h"
#include "store/rule_queries.h"

namespace quillet::generation {

bool HasSNRule(store::Connection& db, const RuleOwner& owner) {
  return store::generation::HeaderExists(db, owner.code, owner.TypeText());
}

std::optional<RuleOwner> GetRuleOwner(store::Connection& db, const std::string& item_code) {
  if (HasSNRule(db, {item_code, kOwnerItem})) return RuleOwner{item_code, kOwnerItem};

  const auto item_class = store::generation::ItemClass(db, item_code);
  RuleOwner candidate{item_class->Field("cinvccode").ToText(), kOwnerClass};
  const int16_t class_level = item_class->Field("iinvcgrade").ToInt16();
  // Read before the class's own header is asked for: a missing coding rule
  // fails the search even when the class has a header.
  const std::string coding_rule =
      store::generation::CodingRule(db, "inventoryclass")->Field("CODINGRULE").ToText();

  if (HasSNRule(db, candidate)) return candidate;
  // Ancestors by cutting the code, nearest first; no class row is needed.
  for (int32_t level = class_level; level >= 2; --level) {
    candidate.code = DropLastCharacters(candidate.code, LevelWidth(coding_rule, level));
    if (HasSNRule(db, candidate)) return candidate;
  }

  const RuleOwner all{"all", kOwnerAll};
  if (HasSNRule(db, all)) return all;
  return std::nullopt;
}

}  // namespace quillet::generation
