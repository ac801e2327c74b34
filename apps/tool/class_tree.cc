#include "apps/tool/class_tree.h"

#include "apps/cli/tool_error.h"
#include "core/nearest_word.h"

namespace quillet::tool {

std::vector<InventoryClass> ClassAndBelow(const std::vector<InventoryClass>& classes,
                                          const std::string& code) {
  std::vector<InventoryClass> found;
  std::vector<std::string> codes;
  bool known = false;
  for (const InventoryClass& row : classes) {
    codes.push_back(row.code);
    known = known || row.code == code;
    if (row.code.starts_with(code)) found.push_back(row);
  }
  if (!known) {
    throw cli::ToolFailure("there is no inventory class " + code +
                           notation::DidYouMean(code, codes) + " (see 'quillet classes')");
  }
  return found;
}

std::map<RuleOwner, std::string> RuleNames(Numbering& numbering) {
  const RuleList list = numbering.Rules();
  std::map<RuleOwner, std::string> names;
  for (const Rule& rule : list.rules) names[rule.owner] = rule.name;
  for (const RuleList::Unreadable& rule : list.unreadable) names[rule.owner] = rule.name;
  return names;
}

}  // namespace quillet::tool
