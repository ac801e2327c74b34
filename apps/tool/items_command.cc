// quillet items CLASS: the serial-managed items of a class and the classes
// below it, each with the rule its serial numbers follow.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/tool/class_tree.h"
#include "apps/tool/commands.h"
#include "apps/tool/text_table.h"

namespace quillet::tool {
namespace {

struct ItemsOptions {
  DomainOptions domain;
  std::string class_code;
};

struct ListedItem {
  Item item;
  std::optional<RuleOwner> rule_owner;
  std::string rule_name;
};

std::vector<ListedItem> ListItems(Numbering& numbering, const std::string& class_code) {
  const std::vector<InventoryClass> classes = ClassAndBelow(numbering.Classes(), class_code);
  const auto rules = RuleNames(numbering);
  std::vector<ListedItem> listed;
  for (const InventoryClass& row : classes) {
    for (Item& item : numbering.SerialItems(row.code)) {
      std::optional<RuleOwner> owner = numbering.ResolveRule(item.code).owner;
      ListedItem entry{std::move(item), std::move(owner), ""};
      if (entry.rule_owner) {
        const auto name = rules.find(*entry.rule_owner);
        if (name != rules.end()) entry.rule_name = name->second;
      }
      listed.push_back(std::move(entry));
    }
  }
  return listed;
}

std::string RuleWords(const ListedItem& entry) {
  if (!entry.rule_owner) return "(none)";
  return FormatOwner(*entry.rule_owner) + " \"" + entry.rule_name + "\"";
}

int RunItems(const ItemsOptions& options) {
  Numbering numbering = OpenNumbering(options.domain);
  const std::vector<ListedItem> items = ListItems(numbering, options.class_code);
  if (options.domain.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const ListedItem& entry : items) {
      list.push_back({{"code", entry.item.code},
                      {"name", entry.item.name},
                      {"class", entry.item.class_code},
                      {"rule_owner", entry.rule_owner ? FormatOwner(*entry.rule_owner) : ""},
                      {"rule", entry.rule_name}});
    }
    std::cout << list.dump() << '\n';
    return kExitOk;
  }
  if (items.empty()) {
    std::cout << "No serial-managed items in class " << options.class_code
              << " or the classes below it.\n";
    return kExitOk;
  }
  TextTable table({"ITEM", "NAME", "CLASS", "RULE"});
  for (const ListedItem& entry : items) {
    table.AddRow({entry.item.code, entry.item.name, entry.item.class_code, RuleWords(entry)});
  }
  table.Print(std::cout);
  return kExitOk;
}

}  // namespace

Command AddItemsCommand(CLI::App& tool) {
  auto options = std::make_shared<ItemsOptions>();
  CLI::App* command =
      tool.add_subcommand("items", "the serial-managed items of a class and the classes below it");
  command
      ->add_option("CLASS", options->class_code, "an inventory class code (see 'quillet classes')")
      ->required();
  AddDomainOptions(*command, options->domain, true);
  command->footer(
      "RULE is the rule an item's serial numbers follow: its own, else its class's or the\n"
      "nearest class's above it, else the rule of all. Give an item a rule of its own with\n"
      "'quillet rule save item:CODE ...'.\n"
      "\n"
      "Examples:\n"
      "  quillet items 01\n"
      "  quillet items 0102001 --json");
  return {command, [options] { return RunReported("items", [&] { return RunItems(*options); }); }};
}

}  // namespace quillet::tool
