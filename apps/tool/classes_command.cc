// quillet classes [CODE]: the inventory class tree, with the serial-managed
// items of each class and the classes' own rules.
#include <algorithm>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/tool/class_tree.h"
#include "apps/tool/commands.h"
#include "apps/tool/text_table.h"

namespace quillet::tool {
namespace {

struct ClassesOptions {
  DomainOptions domain;
  std::string code;
};

int RunClasses(const ClassesOptions& options) {
  Numbering numbering = OpenNumbering(options.domain);
  std::vector<InventoryClass> classes = numbering.Classes();
  if (!options.code.empty()) classes = ClassAndBelow(classes, options.code);
  const auto rules = RuleNames(numbering);
  const auto rule_of = [&](const InventoryClass& row) {
    const auto found = rules.find({row.code, OwnerKind::kClass});
    return found == rules.end() ? std::string() : found->second;
  };
  if (options.domain.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const InventoryClass& row : classes) {
      list.push_back({{"code", row.code},
                      {"name", row.name},
                      {"level", row.level},
                      {"serial_items", numbering.SerialItems(row.code).size()},
                      {"rule", rule_of(row)}});
    }
    std::cout << list.dump() << '\n';
    return kExitOk;
  }
  if (classes.empty()) {
    std::cout << "No inventory classes in " << numbering.connection_string() << ".\n";
    return kExitOk;
  }
  int32_t top = classes.front().level;
  for (const InventoryClass& row : classes) top = std::min(top, row.level);
  TextTable table({"CLASS", "NAME", "ITEMS", "RULE"});
  for (const InventoryClass& row : classes) {
    const std::string rule = rule_of(row);
    table.AddRow({std::string(2 * std::max(0, row.level - top), ' ') + row.code, row.name,
                  std::to_string(numbering.SerialItems(row.code).size()),
                  rule.empty() ? "" : "\"" + rule + "\""});
  }
  table.Print(std::cout);
  return kExitOk;
}

}  // namespace

Command AddClassesCommand(CLI::App& tool) {
  auto options = std::make_shared<ClassesOptions>();
  CLI::App* command =
      tool.add_subcommand("classes", "the inventory classes, as a tree, with their own rules");
  command->add_option("CODE", options->code, "show only this class and the classes below it");
  AddDomainOptions(*command, options->domain, true);
  command->footer(
      "ITEMS counts the serial-managed items of the class itself (not of the classes below\n"
      "it); RULE is the class's own rule, which its items and the classes below it follow\n"
      "unless they have one of their own. 'quillet items CLASS' lists the items.\n"
      "\n"
      "Examples:\n"
      "  quillet classes\n"
      "  quillet classes 0102 --json");
  return {command,
          [options] { return RunReported("classes", [&] { return RunClasses(*options); }); }};
}

}  // namespace quillet::tool
