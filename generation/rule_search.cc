#include "generation/rule_search.h"

#include <set>

#include "core/field_text.h"
#include "generation/level_code.h"
#include "quillet/error.h"
#include "store/rule_queries.h"
#include "store/setup_queries.h"

namespace quillet::generation {
namespace {

using HeaderKeys = std::set<RuleOwner>;

HeaderKeys Headers(store::Connection& db) {
  const auto rows = store::setup::AllRuleHeaders(db);
  HeaderKeys keys;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    keys.insert(RuleOwner::FromNumber(FieldTextOrEmpty(rows->Field("cinvcode")),
                                      rows->Field("cinvtype").ToInt16()));
  }
  return keys;
}

struct ItemClass {
  std::string code;
  int32_t level = 0;
};

std::optional<ItemClass> ClassOfItem(const RecordSet& rows_read) {
  const auto* rows = &rows_read;
  if (rows->Bof() && rows->Eof()) return std::nullopt;
  const Variant& code = rows->Field("cinvccode");
  const Variant& level = rows->Field("iinvcgrade");
  return ItemClass{FieldTextOrEmpty(code), level.IsNull() ? 0 : level.ToInt16()};
}

std::optional<std::string> ClassCodingRule(const RecordSet& coding_read) {
  const auto* coding = &coding_read;
  if ((coding->Bof() && coding->Eof()) || coding->Field("CODINGRULE").IsNull()) {
    return std::nullopt;
  }
  return coding->Field("CODINGRULE").ToText();
}

// Why the search cannot go on to the item's classes; nullopt when it can.
std::optional<std::string> NoClassReason(const std::optional<ItemClass>& item,
                                         const std::string& item_code) {
  if (!item) return "there is no item " + item_code + " in the inventory";
  if (item->code.empty() || item->level == 0)
    return "item " + item_code + " has no inventory class";
  return std::nullopt;
}

// Asks the item's class and each class above it, whose codes the coding rule
// cuts level by level. True when the search ends there: a class has a rule,
// or a code does not fit the coding rule (said in `search.stopped`).
template <typename Ask>
bool AskClasses(const ItemClass& item, const std::string& coding_rule, const Ask& ask,
                RuleSearch& search) {
  RuleOwner candidate{item.code, OwnerKind::kClass};
  if (ask(candidate)) return true;
  try {
    for (int32_t level = item.level; level >= 2; --level) {
      candidate.code = DropLastCharacters(candidate.code, LevelWidth(coding_rule, level));
      if (ask(candidate)) return true;
    }
  } catch (const Error& error) {
    search.stopped = "class " + item.code + " does not fit the coding rule " + coding_rule + " (" +
                     error.description() + ")";
    return true;
  }
  return false;
}

}  // namespace

RuleSearch SearchRule(store::Connection& db, const std::string& item_code) {
  std::optional<HeaderKeys> headers;
  SearchSources sources;
  sources.has_header = [&](const RuleOwner& owner) {
    if (!headers) headers = Headers(db);
    return headers->contains(owner);
  };
  sources.item_class = [&] { return store::generation::ItemClass(db, item_code); };
  sources.class_coding_rule = [&] { return store::generation::CodingRule(db, "inventoryclass"); };
  return SearchRuleIn(sources, item_code);
}

RuleSearch SearchRuleIn(const SearchSources& sources, const std::string& item_code) {
  RuleSearch search;
  const auto ask = [&](const RuleOwner& owner) {
    search.checked.push_back(owner);
    if (sources.has_header(owner)) search.found = owner;
    return search.found.has_value();
  };
  if (ask({item_code, OwnerKind::kItem})) return search;
  const std::optional<ItemClass> item = ClassOfItem(*sources.item_class());
  search.stopped = NoClassReason(item, item_code);
  if (search.stopped) return search;
  const std::optional<std::string> coding_rule = ClassCodingRule(*sources.class_coding_rule());
  if (!coding_rule) {
    search.stopped = "the inventory classes have no coding rule (GradeDef inventoryclass)";
    return search;
  }
  if (AskClasses(*item, *coding_rule, ask, search)) return search;
  ask({"all", OwnerKind::kAll});
  return search;
}

}  // namespace quillet::generation
