// quillet issue: serial numbers for an item and the values of a document line.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "apps/commands.h"
#include "apps/domain_session.h"
#include "apps/issuing.h"
#include "apps/line_values.h"
#include "apps/tool_error.h"

namespace quillet::apps {
namespace {

struct IssueOptions {
  DomainOptions domain;
  std::string item;
  ValueOptions values;
  std::optional<int> count;
  bool save = false;
};

void Print(const IssueOptions& options, const LineValues& line,
           const std::vector<std::string>& serials, const std::vector<std::string>& warnings) {
  if (!options.domain.json) {
    for (const std::string& serial : serials) std::cout << serial << '\n';
    // The serial numbers first, then what they warn of, also when both go to one file.
    std::cout << std::flush;
    for (const std::string& warning : warnings)
      std::cerr << "quillet: warning: " << warning << '\n';
    return;
  }
  nlohmann::json values = nlohmann::json::object();
  for (const std::string& word : ValueWords(line)) {
    const std::size_t equals = word.find('=');
    values[word.substr(0, equals)] = word.substr(equals + 1);
  }
  nlohmann::json answer = {{"item", line.item},
                           {"values", values},
                           {"serial_numbers", serials},
                           {"saved", options.save}};
  if (!warnings.empty()) answer["warnings"] = warnings;
  std::cout << answer.dump() << '\n';
}

int RunIssue(const IssueOptions& options) {
  const LineValues line = ReadLineValues(options.item, options.values);
  DomainSession session(options.domain);
  const std::vector<std::string> serials =
      IssueSerialNumbers(session, line, options.count, options.save);
  Print(options, line, serials, session.component().LastIssueNotes().warnings);
  return kExitOk;
}

}  // namespace

Command AddIssueCommand(CLI::App& tool) {
  auto options = std::make_shared<IssueOptions>();
  CLI::App* command = tool.add_subcommand(
      "issue", "issue serial numbers for ITEM from the rule that applies to it");
  command->add_option("ITEM", options->item, "the item code")->required();
  AddValueOptions(*command, options->values);
  command->add_option("--count", options->count, "issue a batch of N consecutive serial numbers")
      ->type_name("N")
      ->check(CLI::Range(1, 32766));
  command->add_flag("--save", options->save,
                    "use the numbers up: advance the stored running number (without --save the "
                    "same numbers come again)");
  AddDomainOptions(*command, options->domain, true);
  command->footer(
      "The values of the document line come from --date (default: today) and --set; the rule\n"
      "decides which of them it needs. Prints one serial number per line.\n"
      "\n"
      "Examples:\n"
      "  quillet issue LW-DL-100 --date 2024-05-06\n"
      "  quillet issue LW-FL-300 --date 2024-05-06 --set department=0101 --save\n"
      "  quillet issue LW-DR-012 --date 2024-05-06 --count 3 --save --json");
  return {command, [options] { return RunReported("issue", [&] { return RunIssue(*options); }); }};
}

}  // namespace quillet::apps
