// The made-up demo company, a lamp maker: its rows table by table, the rules
// the demo saves over them, and its one user code.
#ifndef QUILLET_NUMBERING_DEMO_COMPANY_H_
#define QUILLET_NUMBERING_DEMO_COMPANY_H_

#include <string>
#include <vector>

#include "maintenance/company_data.h"
#include "quillet/owner.h"

namespace quillet::numbering {

// Rows for one table; loading replaces a stored row with the same key, so
// loading twice keeps one copy.
using DemoTable = maintenance::TableRows;

// An item of the demo company: a database holding it is a demo database.
inline constexpr const char* kDemoItem = "LW-DL-100";
// The demo's one user code: department 03 (sales) is written SL.
inline constexpr const char* kSalesDepartment = "03";
inline constexpr const char* kSalesCode = "SL";

// Level-coded classes and departments, items, archives, data sources with
// zh-CN and en-US captions, and three rules. Thread-safe.
std::vector<DemoTable> DemoCompany();

// The locale ids the demo company describes its data sources in.
const std::vector<std::string>& DemoLocales();

// A rule the demo saves: its owner, the owner's name, the rule's name and
// its segments in the notation.
struct DemoRule {
  RuleOwner owner;
  std::string owner_name;
  std::string name;
  std::vector<std::string> segments;
};

// The rules of the demo's tour; the department segment's settings are
// shared by every rule that has one.
std::vector<DemoRule> DemoRules();

// The company as the tour loads it: the rows, the rules and the user code.
maintenance::Company DemoTour();

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_DEMO_COMPANY_H_
