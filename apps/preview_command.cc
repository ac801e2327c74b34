// quillet preview: the parts of an item's serial number and the rule they
// come from, without using up a running number.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "apps/catalog.h"
#include "apps/commands.h"
#include "apps/domain_session.h"
#include "apps/issue_diagnosis.h"
#include "apps/line_values.h"
#include "apps/rule_parts.h"
#include "apps/rule_store.h"
#include "apps/text_table.h"
#include "apps/tool_error.h"

namespace quillet::apps {
namespace {

struct PreviewOptions {
  DomainOptions domain;
  std::string item;
  ValueOptions values;
};

std::string CheckedList(const Resolution& resolution) {
  std::string list;
  for (const RuleOwner& owner : resolution.checked) {
    list += list.empty() ? "" : ", ";
    list += FormatOwner(owner);
  }
  return list;
}

std::string RunningWords(const RuleParts& parts) {
  if (parts.digits.empty()) return "(none)";
  return parts.running + " (stored " + parts.stored + ", " + parts.digits + " digits, step " +
         parts.step + ")";
}

void PrintText(const LineValues& line, const std::string& item_name, const Rule& rule,
               const Resolution& resolution, const RuleParts& parts) {
  const auto or_none = [](const std::string& text) { return text.empty() ? "(none)" : text; };
  std::string values;
  for (const std::string& word : ValueWords(line)) values += (values.empty() ? "" : " ") + word;
  PrintFields(std::cout, {{"item", line.item + (item_name.empty() ? "" : " " + item_name)},
                          {"values", values},
                          {"rule", "\"" + rule.name + "\" of " + FormatOwner(rule.owner)},
                          {"checked", CheckedList(resolution)},
                          {"prefix", or_none(parts.prefix)},
                          {"running number", RunningWords(parts)},
                          {"suffix", or_none(parts.suffix)},
                          {"serial number", parts.prefix + parts.running + parts.suffix}});
}

void PrintJson(const LineValues& line, const Rule& rule, const Resolution& resolution,
               const RuleParts& parts) {
  std::vector<std::string> checked;
  for (const RuleOwner& owner : resolution.checked) checked.push_back(FormatOwner(owner));
  std::cout << nlohmann::json{{"item", line.item},
                              {"owner", FormatOwner(rule.owner)},
                              {"rule", rule.name},
                              {"checked", checked},
                              {"prefix", parts.prefix},
                              {"running_number", parts.running},
                              {"suffix", parts.suffix},
                              {"step", parts.step},
                              {"stored_number", parts.stored},
                              {"digits", parts.digits},
                              {"serial_number", parts.prefix + parts.running + parts.suffix}}
                   .dump()
            << '\n';
}

int RunPreview(const PreviewOptions& options) {
  const LineValues line = ReadLineValues(options.item, options.values);
  DomainSession session(options.domain);
  Catalog catalog(session);
  std::string cinvcode;
  std::string ignored;
  std::shared_ptr<XmlDocument> values = ValueDocument(line, std::nullopt);
  const std::shared_ptr<XmlDocument> parts_document =
      session.component().getSNrule(cinvcode, values, ignored);
  if (parts_document->empty()) ExplainNoSerialNumber(session, line, false);

  const RuleParts parts = ReadParts(*parts_document);
  const Resolution resolution = catalog.Resolve(line.item);
  const std::optional<Rule> rule =
      resolution.found ? ReadRule(session.component(), *resolution.found) : std::nullopt;
  if (!rule) throw ToolFailure("the rule of item " + line.item + " changed while it was read");
  if (options.domain.json) {
    PrintJson(line, *rule, resolution, parts);
  } else {
    PrintText(line, catalog.OwnerName({line.item, OwnerKind::kItem}), *rule, resolution, parts);
  }
  std::cout << std::flush;
  for (const std::string& warning : session.component().LastIssueNotes().warnings) {
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

}  // namespace quillet::apps
