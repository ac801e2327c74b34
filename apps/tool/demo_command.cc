// quillet demo: the demo company in a database of its own, a handful of
// rules that show what the engine does, and the serial numbers they issue.
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/tool/commands.h"
#include "apps/tool/line_options.h"
#include "apps/tool/shell_words.h"
#include "apps/tool/text_table.h"

namespace quillet::tool {
namespace {

constexpr const char* kDefaultDatabase = "sqlite:quillet.db";
// The demo's one user code: department 03 (sales) is written SL.
constexpr const char* kSalesDepartment = "03";
constexpr const char* kSalesCode = "SL";

struct DemoOptions {
  DomainOptions domain;
  std::optional<std::string> date;
};

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
  for (const std::string& demo : Numbering::DemoLocales()) {
    if (demo == locale) return;
    known += (known.empty() ? "" : " and ") + demo;
  }
  throw ToolFailure("the demo company describes its data sources in " + known + ", not '" + locale +
                    "': choose one of those with --locale");
}

// Loads the demo company into a new database with its rules and user code,
// in one transaction: a failure leaves the database as it was. A database
// that holds another company's data is left alone. Returns whether the
// company was loaded now.
bool LoadDemoData(const std::string& connection_string) {
  if (connection_string.starts_with("sqlite:")) {
    const std::string path = connection_string.substr(7);
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored) &&
        !std::filesystem::is_regular_file(path, ignored)) {
      throw ToolFailure(path + " is not a database file");
    }
  }
  try {
    return Numbering::LoadDemoCompany(connection_string);
  } catch (const Failure& failure) {
    if (failure.number() != errc::kOtherCompany) throw;
    throw ToolFailure(failure.description() +
                      "; give the demo its own, e.g. 'quillet demo --db sqlite:demo.db'");
  }
}

void ListRules(Numbering& numbering, TextTable& table) {
  for (const Rule& rule : numbering.Rules().rules) {
    std::vector<std::string> words;
    for (const Segment& segment : rule.segments) words.push_back(FormatSegment(segment));
    table.AddRow({FormatOwner(rule.owner), rule.name, rule.next_number, ShellLine(words)});
  }
}

// The name of the department the demo writes as a code of its own.
std::string SalesName(Numbering& numbering) {
  for (const Mapping& mapping : numbering.Mappings(DataSource::kDepartment).mappings) {
    if (mapping.value == kSalesDepartment) return mapping.caption;
  }
  return "";
}

std::string OwnerWords(const IssueResult& result) {
  if (!result.owner) return "";
  std::string owner = FormatOwner(*result.owner);
  // A class found above the item's own class: say where the search began.
  if (result.owner->kind == OwnerKind::kClass && result.checked_owners.size() > 2) {
    owner += " (from " + result.checked_owners[1].code + ")";
  }
  return owner;
}

void IssueScenarios(Numbering& numbering, const std::string& date, TextTable& table) {
  for (const Scenario& scenario : Scenarios()) {
    IssueRequest request{scenario.item, date, {}, std::nullopt, true, {}};
    if (*scenario.department) request.values["department"] = scenario.department;
    if (scenario.count > 1) request.count = scenario.count;
    const IssueResult result = numbering.Issue(request);
    if (result.reason) throw ToolFailure(result.reason->text, result.reason->number);
    const std::string values =
        *scenario.department ? std::string("department=") + scenario.department : "";
    for (std::size_t i = 0; i < result.serial_numbers.size(); ++i) {
      if (i == 0) {
        table.AddRow(
            {scenario.shows, scenario.item, values, OwnerWords(result), result.serial_numbers[i]});
      } else {
        table.AddRow({"", "", "", "", result.serial_numbers[i]});
      }
    }
  }
}

int RunDemo(const DemoOptions& options) {
  const std::string date = LineValuesOf({"", options.date.value_or(""), {}}).at(DataSource::kDate);
  RequireDemoLocale(options.domain.locale);
  const bool created = LoadDemoData(options.domain.db);
  Numbering numbering = OpenNumbering(options.domain);

  TextTable rules({"OWNER", "NAME", "NEXT", "SEGMENTS"}, "  ");
  ListRules(numbering, rules);
  const std::string sales = SalesName(numbering);
  TextTable serials({"SHOWS", "ITEM", "VALUES", "RULE", "SERIAL NUMBER"}, "  ");
  IssueScenarios(numbering, date, serials);

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

}  // namespace quillet::tool
