// The search for an item's rule told step by step, for explanations: which
// owners were asked, which one was found, and why the search stopped early.
// GetRuleOwner finds the same owner in one query; this walk is for people.
#ifndef QUILLET_GENERATION_RULE_SEARCH_H_
#define QUILLET_GENERATION_RULE_SEARCH_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "generation/rule_owner.h"
#include "quillet/recordset.h"
#include "store/connection.h"

namespace quillet::generation {

struct RuleSearch {
  std::vector<RuleOwner> checked;      // every owner asked, in order, the one found last
  std::optional<RuleOwner> found;      // the owner whose rule applies
  std::optional<std::string> stopped;  // why the search ended before "all"
};

// The item, its class, each ancestor class nearest first (cut by the
// "inventoryclass" coding rule), then "all". The search stops at an item that
// is not in the inventory or has no class, at a missing coding rule, and at
// a class code that the coding rule does not cut. Raises the database's
// errors.
RuleSearch SearchRule(store::Connection& db, const std::string& item_code);

// What the search asks, each asked only when the search gets there.
struct SearchSources {
  std::function<bool(const RuleOwner&)> has_header;
  // The item's inventory row (cinvccode, iinvcgrade): no rows for an
  // unknown item.
  std::function<std::shared_ptr<RecordSet>()> item_class;
  // The coding rule of "inventoryclass" (CODINGRULE): no rows without one.
  std::function<std::shared_ptr<RecordSet>()> class_coding_rule;
};

// The same search over facts read elsewhere. Raises what the sources raise.
RuleSearch SearchRuleIn(const SearchSources& sources, const std::string& item_code);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_RULE_SEARCH_H_
