// Read-only look-ups about owners, rules and data sources that the domain
// commands need to speak in plain words: names, whether an owner exists,
// which rule applies to an item and why.
#ifndef QUILLET_APPS_CATALOG_H_
#define QUILLET_APPS_CATALOG_H_

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "apps/domain_session.h"
#include "apps/owner_notation.h"
#include "generation/rule_search.h"

namespace quillet::apps {

// The inventory facts of an item.
struct ItemFacts {
  std::string class_code;  // empty when the item has no class
  int16_t class_level = 0;
  std::string name;  // empty for an item that is not serial-managed
};

// One row of SNPrefabricate_lang: a data source with an archive table.
struct DataSourceRow {
  std::string code;
  std::string caption;
  std::string table;
  std::string content_type;
  std::string value_column;
  std::string caption_column;
};

// Which rule applies to an item, the way the component searches: the item,
// its class, each ancestor class nearest first, then all.
using Resolution = generation::RuleSearch;

// Look-ups over a session. Every function raises quillet::Error for a
// database failure. Used on the session's thread only.
class Catalog {
 public:
  explicit Catalog(DomainSession& session);

  // nullopt when the item is not in the inventory.
  std::optional<ItemFacts> Item(const std::string& code);
  // nullopt when the class is not in the class tree.
  std::optional<std::string> ClassName(const std::string& code);
  // Raises ToolFailure for an item or class that does not exist.
  void RequireKnown(const RuleOwner& owner);
  // The owner's name: the item's or class's name, "" for all.
  std::string OwnerName(const RuleOwner& owner);

  // Whether the owner has a rule header.
  bool HasRule(const RuleOwner& owner);
  // Raises ToolFailure for an owner that does not exist or has no rule
  // header; for an item it tells which rule its serial numbers follow.
  void RequireRule(const RuleOwner& owner);
  // The owners with a rule header, items first, then classes, then all.
  std::vector<RuleOwner> RuleOwners();

  Resolution Resolve(const std::string& item_code);

  // The data source row of `type` in the session's locale.
  std::optional<DataSourceRow> DataSource(int type);

  // Whether a department code is in the department table.
  bool DepartmentExists(const std::string& code);

 private:
  // The session's class tree and data sources (Getinitdata), read once.
  void ReadSetupData();

  DomainSession& session_;
  std::optional<std::map<std::string, std::string>> class_names_;
  std::vector<DataSourceRow> data_sources_;
};

}  // namespace quillet::apps

#endif  // QUILLET_APPS_CATALOG_H_
