// quillet issue: serial numbers for an item and the values of a document line.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/tool/commands.h"
#include "apps/tool/label_output.h"
#include "apps/tool/line_options.h"

namespace quillet::tool {
namespace {

struct IssueOptions {
  DomainOptions domain;
  std::string item;
  ValueOptions values;
  std::optional<int> count;
  bool save = false;
  std::string labels;  // the file the labels go to; none when empty
  LabelOptions label;
};

void Print(const IssueOptions& options, const Line& line, const IssueResult& result) {
  if (!options.domain.json) {
    for (const std::string& serial : result.serial_numbers) std::cout << serial << '\n';
    // The serial numbers first, then what they warn of, also when both go to one file.
    std::cout << std::flush;
    for (const std::string& warning : result.warnings) {
      std::cerr << "quillet: warning: " << warning << '\n';
    }
    return;
  }
  nlohmann::json values = nlohmann::json::object();
  for (const auto& [source, value] : LineValuesOf(line)) values[DataSourceName(source)] = value;
  nlohmann::json answer = {{"item", line.item},
                           {"values", values},
                           {"serial_numbers", result.serial_numbers},
                           {"saved", result.saved}};
  if (!result.warnings.empty()) answer["warnings"] = result.warnings;
  std::cout << answer.dump() << '\n';
}

int RunIssue(const IssueOptions& options) {
  const Line line = LineOfOptions(options.item, options.values);
  Numbering numbering = OpenNumbering(options.domain);
  const IssueResult result =
      numbering.Issue({line.item,
                       line.date,
                       line.values,
                       options.count ? std::optional<int32_t>(*options.count) : std::nullopt,
                       options.save,
                       {}});
  if (result.reason) throw ToolFailure(result.reason->text, result.reason->number);
  // The serial numbers first: they are issued whether or not their labels can be written.
  Print(options, line, result);
  if (!options.labels.empty()) WriteLabels(result.serial_numbers, options.label, options.labels);
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
  command->add_option("--labels", options->labels, "also write their labels to FILE (SVG)")
      ->type_name("FILE.svg");
  AddLabelOptions(*command, options->label);
  AddDomainOptions(*command, options->domain, true);
  command->footer(
      "The values of the document line come from --date (default: today) and --set; the rule\n"
      "decides which of them it needs. Prints one serial number per line.\n"
      "\n"
      "Examples:\n"
      "  quillet issue LW-DL-100 --date 2024-05-06\n"
      "  quillet issue LW-FL-300 --date 2024-05-06 --set department=0101 --save\n"
      "  quillet issue LW-DR-012 --date 2024-05-06 --count 3 --save --json\n"
      "  quillet issue LW-DR-012 --date 2024-05-06 --count 3 --save --labels labels.svg");
  return {command, [options] { return RunReported("issue", [&] { return RunIssue(*options); }); }};
}

}  // namespace quillet::tool
