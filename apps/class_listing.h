// The inventory classes and serial-managed items as people look for them
// when they choose an owner for a rule: read through the component.
#ifndef QUILLET_APPS_CLASS_LISTING_H_
#define QUILLET_APPS_CLASS_LISTING_H_

#include <map>
#include <string>
#include <vector>

#include "apps/domain_session.h"
#include "core/rule_owner.h"

namespace quillet::apps {

struct ClassRow {
  std::string code;
  std::string name;
  int32_t level = 0;
};

struct ItemRow {
  std::string code;
  std::string name;
  std::string class_code;
};

// Every inventory class in code order (Getinitdata). Raises quillet::Error.
std::vector<ClassRow> ReadClasses(DomainSession& session);

// The class `code` and the classes below it, in code order: a level-coded
// class code begins with its ancestors' codes. Raises ToolFailure naming the
// nearest class code when there is no class `code`.
std::vector<ClassRow> ClassAndBelow(const std::vector<ClassRow>& classes, const std::string& code);

// The serial-managed items of one class, not of the classes below it
// (GetInvNodesrv). Raises quillet::Error.
std::vector<ItemRow> ReadSerialItems(DomainSession& session, const std::string& class_code);

// The name of each rule by its owner (GetNumbertreesrv). Raises
// quillet::Error.
std::map<RuleOwner, std::string> ReadRuleNames(DomainSession& session);

}  // namespace quillet::apps

#endif  // QUILLET_APPS_CLASS_LISTING_H_
