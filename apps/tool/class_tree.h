// The inventory classes as people look for them when they choose an owner
// for a rule: a class and the classes below it, and each owner's rule name.
#ifndef QUILLET_APPS_TOOL_CLASS_TREE_H_
#define QUILLET_APPS_TOOL_CLASS_TREE_H_

#include <map>
#include <string>
#include <vector>

#include "quillet/numbering.h"

namespace quillet::tool {

// The class `code` and the classes below it, in code order: a level-coded
// class code begins with its ancestors' codes. Raises ToolFailure naming the
// nearest class code when there is no class `code`.
std::vector<InventoryClass> ClassAndBelow(const std::vector<InventoryClass>& classes,
                                          const std::string& code);

// The name of each rule by its owner.
std::map<RuleOwner, std::string> RuleNames(Numbering& numbering);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_CLASS_TREE_H_
