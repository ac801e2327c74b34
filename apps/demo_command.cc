// quillet demo: the demo company in a database of its own, a handful of
// rules that show what the engine does, and the serial numbers they issue.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/catalog.h"
#include "apps/commands.h"
#include "apps/demo_rows.h"
#include "apps/domain_session.h"
#include "apps/issuing.h"
#include "apps/line_values.h"
#include "apps/mapping_store.h"
#include "apps/rule_store.h"
#include "apps/shell_words.h"
#include "apps/text_table.h"
#include "apps/tool_error.h"
#include "maintenance/company_data.h"

namespace quillet::apps {
namespace {

constexpr const char* kDefaultDatabase = "sqlite:quillet.db";
// An item of the demo company: a database holding it is a demo database.
constexpr const char* kDemoItem = "LW-DL-100";

struct DemoOptions {
  DomainOptions domain;
  std::optional<std::string> date;
};

struct DemoRule {
  RuleOwner owner;
  const char* owner_name;  // the demo company's name of the item or class
  const char* name;
  std::vector<std::string> segments;
};

// The department segment's settings are shared by every rule that has one.
std::vector<DemoRule> DemoRules() {
  return {{{"LW-DL-100", OwnerKind::kItem},
           "星野台灯",
           "Aster desk lamp",
           {"text=AST-", "date=YYMMDD", "text=-", "number,width=4,step=1,start=1"}},
          {{"01", OwnerKind::kClass},
           "照明成品",
           "Lighting",
           {"text=LW", "department=1,width=2,pad=0,fill=X", "date=-YYMM-",
            "number,width=4,step=1,start=1"}},
          {{"all", OwnerKind::kAll},
           "",
           "General",
           {"text=SN-", "date=YYYYMMDD-", "number,width=5,step=1,start=1"}}};
}

// The demo's one user code: department 03 (sales) is written SL.
constexpr const char* kSalesDepartment = "03";
constexpr const char* kSalesCode = "SL";

struct Scenario {
  const char* shows;
  const char* item;
  const char* department;  // "" for none
  int count;
};

std::vector<Scenario> Scenarios() {
  return {{"an item's own rule", "LW-DL-100", "", 1},
          {"a class rule, reached from a sub-class item", "LW-FL-300", "01", 1},
          {"the department cut to its first level", "LW-CL-200", "0102", 1},
          {"the department mapped to a short code", "LW-DL-110", "03", 1},
          {"the fill sign for a missing department", "LW-KIT-01", "", 1},
          {"the rule for all items", "LW-DR-012", "", 1},
          {"a batch of three", "LW-DR-024", "", 3}};
}

// The demo company describes its data sources in a few locales only; any
// other would leave its rules' mappings without a source.
void RequireDemoLocale(const std::string& locale) {
  std::string known;
  for (const std::string& demo : DemoLocales()) {
    if (demo == locale) return;
    known += (known.empty() ? "" : " and ") + demo;
  }
  throw ToolFailure("the demo company describes its data sources in " + known + ", not '" + locale +
                    "': choose one of those with --locale");
}

// The demo company: its rows, its rules and its user code.
maintenance::Company DemoCompanyData() {
  maintenance::Company company{kDemoItem, DemoCompany(), {}, {}};
  for (const DemoRule& demo : DemoRules()) {
    std::vector<Segment> segments;
    for (const std::string& word : demo.segments) segments.push_back(ParseSegment(word));
    company.rules.push_back({RuleDocument(demo.owner_name, segments), demo.owner, demo.name});
  }
  company.codes.push_back(
      {{"2", "1", "department", "cDepCode"}, "2", kSalesDepartment, kSalesCode});
  return company;
}

// Creates the tables, loads the demo company into a new database and saves
// the demo's rules and user code, in one transaction: a failure leaves the
// database as it was. A database that holds another company's data is left
// alone. Returns whether the company was loaded now.
bool LoadDemoData(const std::string& connection_string) {
  const std::string path = SqlitePath(connection_string);
  std::error_code ignored;
  if (!path.empty() && std::filesystem::exists(path, ignored) &&
      !std::filesystem::is_regular_file(path, ignored)) {
    throw ToolFailure(path + " is not a database file");
  }
  const maintenance::CompanyLoad load =
      maintenance::LoadCompany(connection_string, DemoCompanyData());
  if (load == maintenance::CompanyLoad::kOtherData) {
    throw ToolFailure("the database " + connection_string +
                      " holds another company's data; give the demo its own, e.g. "
                      "'quillet demo --db sqlite:demo.db'");
  }
  return load == maintenance::CompanyLoad::kLoaded;
}

void ListRules(DomainSession& session, TextTable& table) {
  for (const DemoRule& demo : DemoRules()) {
    const std::optional<Rule> saved = ReadRule(session.component(), demo.owner);
    table.AddRow({FormatOwner(demo.owner), demo.name, saved ? saved->next_number : "",
                  ShellLine(demo.segments)});
  }
}

// The name of the department the demo writes as a code of its own.
std::string SalesName(DomainSession& session) {
  for (const Mapping& mapping : ListMappings(session, source::kDepartment).mappings) {
    if (mapping.value == kSalesDepartment) return mapping.name;
  }
  return "";
}

void IssueScenarios(DomainSession& session, const std::string& date, TextTable& table) {
  for (const Scenario& scenario : Scenarios()) {
    LineValues line{scenario.item, {{source::kDate, date}}};
    if (*scenario.department) line.values[source::kDepartment] = scenario.department;
    const std::optional<int> count =
        scenario.count > 1 ? std::optional<int>(scenario.count) : std::nullopt;
    const std::vector<std::string> serials = IssueSerialNumbers(session, line, count, true);
    const Resolution resolution = Catalog(session).Resolve(scenario.item);
    std::string owner = resolution.found ? FormatOwner(*resolution.found) : "";
    // A class found above the item's own class: say where the search began.
    if (resolution.found && resolution.found->kind == OwnerKind::kClass &&
        resolution.checked.size() > 2) {
      owner += " (from " + resolution.checked[1].code + ")";
    }
    const std::string values =
        *scenario.department ? std::string("department=") + scenario.department : "";
    for (std::size_t i = 0; i < serials.size(); ++i) {
      if (i == 0) {
        table.AddRow({scenario.shows, scenario.item, values, owner, serials[i]});
      } else {
        table.AddRow({"", "", "", "", serials[i]});
      }
    }
  }
}

int RunDemo(const DemoOptions& options) {
  const LineValues dated = ReadLineValues("", {options.date, {}});
  const std::string date = dated.values.at(source::kDate);
  RequireDemoLocale(options.domain.locale);
  const bool created = LoadDemoData(options.domain.db);
  DomainSession session(options.domain);

  TextTable rules({"OWNER", "NAME", "NEXT", "SEGMENTS"}, "  ");
  ListRules(session, rules);
  const std::string sales = SalesName(session);
  TextTable serials({"SHOWS", "ITEM", "VALUES", "RULE", "SERIAL NUMBER"}, "  ");
  IssueScenarios(session, date, serials);

  const std::string db_option =
      options.domain.db == kDefaultDatabase ? "" : " --db " + ShellQuoted(options.domain.db);
  std::cout << "Quillet demo: the lamp maker Lumenwright, in " << options.domain.db
            << (created ? " (demo company loaded)" : " (reused)") << "\n\n"
            << "Rules (quillet rule list" << db_option << "):\n";
  rules.Print(std::cout);
  std::cout << "\nMapping: department " << kSalesDepartment << " (" << sales << ") is written "
            << kSalesCode << ".\n\n"
            << "Serial numbers issued for " << date << ":\n";
  serials.Print(std::cout);
  std::cout << "\nThe running numbers are saved: run the demo again and they go on.\n"
            << "Next: quillet preview LW-FL-300 --set department=0101" << db_option
            << ", quillet rule show class:01" << db_option << ", quillet --help\n";
  return kExitOk;
}

}  // namespace

Command AddDemoCommand(CLI::App& tool) {
  auto options = std::make_shared<DemoOptions>();
  CLI::App* command = tool.add_subcommand(
      "demo", "set up the demo company's rules and issue serial numbers from them");
  command->add_option("--date", options->date, "the document date (default: today)")
      ->type_name("YYYY-MM-DD");
  AddDomainOptions(*command, options->domain, false);
  command->footer(
      "Creates the database with the demo company when it does not exist (a database that\n"
      "holds anything else is left alone), saves three rules (an item's, a class's, and the\n"
      "one for all items), maps department 03 to SL, and issues serial numbers with saving:\n"
      "each run goes on from the running numbers the last one left. The company, the rules\n"
      "and the code are written in one transaction: a failure leaves the database as it was.\n"
      "\n"
      "Examples:\n"
      "  quillet demo\n"
      "  quillet demo --db sqlite:/tmp/demo.db --date 2024-05-06");
  return {command, [options] { return RunReported("demo", [&] { return RunDemo(*options); }); }};
}

}  // namespace quillet::apps
