// quillet preview: the parts of an item's serial number and the rule they
// come from, without using up a running number.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/tool/commands.h"
#include "apps/tool/line_options.h"
#include "apps/tool/text_table.h"

namespace quillet::tool {
namespace {

struct PreviewOptions {
  DomainOptions domain;
  std::string item;
  ValueOptions values;
};

std::string CheckedList(const PreviewResult& preview) {
  std::string list;
  for (const RuleOwner& owner : preview.checked_owners) {
    list += list.empty() ? "" : ", ";
    list += FormatOwner(owner);
  }
  return list;
}

std::string RunningWords(const RuleParts& parts) {
  if (parts.digits.empty()) return "(none)";
  return parts.running_number + " (stored " + parts.stored_number + ", " + parts.digits +
         " digits, step " + parts.step + ")";
}

void PrintText(const Line& line, const std::string& item_name, const PreviewResult& preview) {
  const auto or_none = [](const std::string& text) { return text.empty() ? "(none)" : text; };
  std::string values;
  for (const std::string& word : ValueWords(line)) values += (values.empty() ? "" : " ") + word;
  const RuleParts& parts = preview.parts;
  std::vector<std::pair<std::string, std::string>> fields = {
      {"item", line.item + (item_name.empty() ? "" : " " + item_name)},
      {"values", values},
      {"rule", "\"" + preview.rule + "\" of " + FormatOwner(*preview.owner)},
      {"checked", CheckedList(preview)},
      {"prefix", or_none(parts.prefix)},
      {"running number", RunningWords(parts)},
      {"suffix", or_none(parts.suffix)}};
  if (!parts.check.empty()) fields.emplace_back("check", parts.check);
  fields.emplace_back("serial number", preview.serial_number);
  PrintFields(std::cout, fields);
}

void PrintJson(const Line& line, const PreviewResult& preview) {
  std::vector<std::string> checked;
  for (const RuleOwner& owner : preview.checked_owners) checked.push_back(FormatOwner(owner));
  const RuleParts& parts = preview.parts;
  nlohmann::json answer{{"item", line.item},
                        {"owner", FormatOwner(*preview.owner)},
                        {"rule", preview.rule},
                        {"checked", checked},
                        {"prefix", parts.prefix},
                        {"running_number", parts.running_number},
                        {"suffix", parts.suffix},
                        {"step", parts.step},
                        {"stored_number", parts.stored_number},
                        {"digits", parts.digits},
                        {"serial_number", preview.serial_number}};
  if (!parts.check.empty()) answer["check"] = parts.check;
  std::cout << answer.dump() << '\n';
}

int RunPreview(const PreviewOptions& options) {
  const Line line = LineOfOptions(options.item, options.values);
  Numbering numbering = OpenNumbering(options.domain);
  const PreviewResult preview = numbering.Preview(line);
  if (preview.reason) throw ToolFailure(preview.reason->text, preview.reason->number);
  if (options.domain.json) {
    PrintJson(line, preview);
  } else {
    const std::optional<Item> item = numbering.FindItem(line.item);
    PrintText(line, item ? item->name : "", preview);
  }
  std::cout << std::flush;
  for (const std::string& warning : preview.warnings) {
    std::cerr << "quillet: warning: " << warning << '\n';
  }
  return kExitOk;
}

}  // namespace

Command AddPreviewCommand(CLI::App& tool) {
  auto options = std::make_shared<PreviewOptions>();
  CLI::App* command = tool.add_subcommand(
      "preview", "show which rule applies to ITEM and the parts of its next serial number");
  command->add_option("ITEM", options->item, "the item code")->required();
  AddValueOptions(*command, options->values);
  AddDomainOptions(*command, options->domain, true);
  command->footer(
      "The rule is looked for on the item, then on its class and each class above it, then\n"
      "on all items; 'checked' lists the owners asked. Nothing is used up.\n"
      "\n"
      "Examples:\n"
      "  quillet preview LW-FL-300 --date 2024-05-06 --set department=0101\n"
      "  quillet preview LW-DR-012 --date 2024-05-06 --json");
  return {command,
          [options] { return RunReported("preview", [&] { return RunPreview(*options); }); }};
}

}  // namespace quillet::tool
