// quillet rule list | show OWNER | save OWNER --name NAME SEGMENT... |
// delete OWNER: the rules, in the segment notation.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "apps/catalog.h"
#include "apps/commands.h"
#include "apps/domain_session.h"
#include "apps/rule_save.h"
#include "apps/rule_store.h"
#include "apps/segment_explanation.h"
#include "apps/shell_words.h"
#include "apps/text_table.h"
#include "apps/tool_error.h"

namespace quillet::apps {
namespace {

struct RuleOptions {
  DomainOptions domain;
  std::string owner;
  std::string name;
  std::vector<std::string> segments;
  bool force = false;
};

std::vector<std::string> SegmentWords(const Rule& rule) {
  std::vector<std::string> words;
  for (const Segment& segment : rule.segments) words.push_back(FormatSegment(segment));
  return words;
}

nlohmann::json RuleJson(const Rule& rule) {
  nlohmann::json segments = nlohmann::json::array();
  for (const Segment& segment : rule.segments) {
    segments.push_back({{"notation", FormatSegment(segment)},
                        {"source", SourceName(segment.type)},
                        {"type", segment.type},
                        {"format", segment.format},
                        {"width", segment.width},
                        {"pad", segment.pad},
                        {"fill", segment.fill},
                        {"step", segment.step}});
  }
  return {{"owner", FormatOwner(rule.owner)},
          {"owner_name", rule.owner_name},
          {"name", rule.name},
          {"next_number", rule.next_number},
          {"segments", segments}};
}

std::vector<Rule> ReadAllRules(DomainSession& session) {
  Catalog catalog(session);
  std::vector<Rule> rules;
  for (const RuleOwner& owner : catalog.RuleOwners()) {
    if (std::optional<Rule> rule = ReadRuleWithPolicy(session, owner)) {
      rules.push_back(*std::move(rule));
    }
  }
  return rules;
}

int RunList(const RuleOptions& options) {
  DomainSession session(options.domain);
  const std::vector<Rule> rules = ReadAllRules(session);
  if (options.domain.json) {
    nlohmann::json list = nlohmann::json::array();
    for (const Rule& rule : rules) list.push_back(RuleJson(rule));
    std::cout << list.dump() << '\n';
    return kExitOk;
  }
  if (rules.empty()) {
    std::cout << "No rules yet: save one with 'quillet rule save'.\n";
    return kExitOk;
  }
  TextTable table({"OWNER", "NAME", "NEXT", "SEGMENTS"});
  for (const Rule& rule : rules) {
    table.AddRow({FormatOwner(rule.owner), rule.name, NextNumberText(rule, ""),
                  ShellLine(SegmentWords(rule))});
  }
  table.Print(std::cout);
  return kExitOk;
}

void PrintRule(const Rule& rule) {
  const std::string owner = FormatOwner(rule.owner);
  std::cout << "Rule \"" << rule.name << "\" of " << owner
            << (rule.owner_name.empty() ? "" : " (" + rule.owner_name + ")")
            << ", next running number " << NextNumberText(rule, "(none)") << "\n\n";
  TextTable table({"#", "SEGMENT", "GIVES"}, "  ");
  for (std::size_t i = 0; i < rule.segments.size(); ++i) {
    table.AddRow(
        {std::to_string(i + 1), FormatSegment(rule.segments[i]), ExplainSegment(rule.segments[i])});
  }
  if (table.empty()) std::cout << "  (no segments)\n";
  table.Print(std::cout);
  std::vector<std::string> words = {"quillet", "rule", "save", owner, "--name", rule.name};
  for (std::string& word : SegmentWords(rule)) words.push_back(std::move(word));
  std::cout << "\nTo save it again:\n  " << ShellLine(words) << '\n';
}

// The owner's own rule; raises ToolFailure when it has none.
Rule RequireOwnRule(DomainSession& session, const RuleOwner& owner) {
  Catalog catalog(session);
  catalog.RequireRule(owner);
  std::optional<Rule> rule = ReadRuleWithPolicy(session, owner);
  if (!rule) throw ToolFailure(FormatOwner(owner) + " has no rule of its own");
  return std::move(*rule);
}

int RunShow(const RuleOptions& options) {
  const RuleOwner owner = ParseOwner(options.owner);
  DomainSession session(options.domain);
  const Rule rule = RequireOwnRule(session, owner);
  if (options.domain.json) {
    std::cout << RuleJson(rule).dump() << '\n';
  } else {
    PrintRule(rule);
  }
  return kExitOk;
}

int RunSave(const RuleOptions& options) {
  const RuleOwner owner = ParseOwner(options.owner);
  const std::vector<Segment> segments = ParseRuleSegments(options.segments);
  DomainSession session(options.domain);
  const SaveOutcome outcome =
      SaveRuleWithNotes(session, owner, options.name, segments, /*guarded=*/!options.force);
  if (options.domain.json) {
    nlohmann::json saved = RuleJson(outcome.rule);
    saved["notes"] = outcome.notes;
    std::cout << saved.dump() << '\n';
    return kExitOk;
  }
  std::cout << "Saved rule \"" << outcome.rule.name << "\" of " << FormatOwner(owner)
            << (outcome.rule.owner_name.empty() ? "" : " (" + outcome.rule.owner_name + ")") << ": "
            << outcome.rule.segments.size() << " segments, next running number "
            << NextNumberText(outcome.rule, "(none)") << ".\n";
  for (const std::string& note : outcome.notes) std::cout << "note: " << note << '\n';
  return kExitOk;
}

int RunDelete(const RuleOptions& options) {
  const RuleOwner owner = ParseOwner(options.owner);
  DomainSession session(options.domain);
  const Rule rule = RequireOwnRule(session, owner);
  DeleteRule(session.component(), rule);
  std::cout << "Deleted rule \"" << rule.name << "\" of " << FormatOwner(owner) << ".\n";
  return kExitOk;
}

CLI::App* AddOwner(CLI::App& command, RuleOptions& options) {
  command.add_option("OWNER", options.owner, "item:CODE, class:CODE or all")->required();
  return &command;
}

}  // namespace

Command AddRuleCommand(CLI::App& tool) {
  auto options = std::make_shared<RuleOptions>();
  CLI::App* rule = tool.add_subcommand("rule", "list, show, save and delete rules");
  rule->require_subcommand(1);
  rule->footer(
      "A rule belongs to an owner: item:CODE, class:CODE (and every item below the class) or\n"
      "all. Its segments are written one word each; see 'quillet rule save --help'.");

  CLI::App* list = rule->add_subcommand("list", "every rule with its segments");
  AddDomainOptions(*list, options->domain, true);
  list->footer("Example:\n  quillet rule list");

  CLI::App* show = rule->add_subcommand("show", "one owner's rule, segment by segment");
  AddOwner(*show, *options);
  AddDomainOptions(*show, options->domain, true);
  show->footer("Examples:\n  quillet rule show class:01\n  quillet rule show all --json");

  CLI::App* save =
      rule->add_subcommand("save", "save an owner's rule (it keeps its running number)");
  AddOwner(*save, *options);
  save->add_option("--name", options->name, "the rule's name (one owner per name)")->required();
  save->add_option("SEGMENT", options->segments, "the segments, in order, one word each")
      ->required();
  save->add_flag("--force", options->force,
                 "save a rule whose running number does not go up, does not fit its width, or is "
                 "missing");
  AddDomainOptions(*save, options->domain, true);
  save->footer(SegmentNotationHelp());

  CLI::App* remove = rule->add_subcommand("delete", "delete an owner's rule");
  AddOwner(*remove, *options);
  AddDomainOptions(*remove, options->domain, false);
  remove->footer("Example:\n  quillet rule delete item:LW-DL-100");

  return WithSubcommands<RuleOptions>(
      rule, options, {{list, RunList}, {show, RunShow}, {save, RunSave}, {remove, RunDelete}});
}

}  // namespace quillet::apps
