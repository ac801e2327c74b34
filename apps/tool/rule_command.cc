// quillet rule list | show OWNER | save OWNER --name NAME SEGMENT... |
// delete OWNER | history [OWNER] | export [OWNER...] | import FILE: the rules,
// in the segment notation.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/tool/commands.h"
#include "apps/tool/rule_file_command.h"
#include "apps/tool/rule_history_command.h"
#include "apps/tool/rule_words.h"
#include "apps/tool/segment_explanation.h"
#include "apps/tool/shell_words.h"
#include "apps/tool/text_table.h"

namespace quillet::tool {
namespace {

struct RuleOptions {
  DomainOptions domain;
  std::string owner;
  std::string name;
  std::vector<std::string> segments;
  bool force = false;
  std::optional<std::string> since;
  std::vector<std::string> owners;
  bool with_numbers = false;
  bool with_codes = false;
  std::string file;
  std::string output;
  bool dry_run = false;
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
                        {"source", DataSourceName(segment.source)},
                        {"type", static_cast<int>(segment.source)},
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

// A rule that cannot be read keeps no other from being listed.
void WarnUnreadable(const RuleList& list) {
  for (const RuleList::Unreadable& rule : list.unreadable) {
    std::cerr << "quillet: warning: the rule \"" << rule.name << "\" of " << FormatOwner(rule.owner)
              << " cannot be read: " << rule.reason << '\n';
  }
}

int RunList(const RuleOptions& options) {
  Numbering numbering = OpenNumbering(options.domain);
  const RuleList list = numbering.Rules();
  if (options.domain.json) {
    nlohmann::json rules = nlohmann::json::array();
    for (const Rule& rule : list.rules) rules.push_back(RuleJson(rule));
    std::cout << rules.dump() << '\n';
  } else if (list.rules.empty() && list.unreadable.empty()) {
    std::cout << "No rules yet: save one with 'quillet rule save'.\n";
  } else {
    TextTable table({"OWNER", "NAME", "NEXT", "SEGMENTS"});
    for (const Rule& rule : list.rules) {
      table.AddRow({FormatOwner(rule.owner), rule.name, NextNumberText(rule, ""),
                    ShellLine(SegmentWords(rule))});
    }
    table.Print(std::cout);
  }
  std::cout << std::flush;
  WarnUnreadable(list);
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

int RunShow(const RuleOptions& options) {
  const RuleOwner owner = ParseOwner(options.owner);
  Numbering numbering = OpenNumbering(options.domain);
  const Rule rule = RequireOwnRule(numbering, owner);
  if (options.domain.json) {
    std::cout << RuleJson(rule).dump() << '\n';
  } else {
    PrintRule(rule);
  }
  return kExitOk;
}

int RunSave(const RuleOptions& options) {
  const RuleOwner owner = ParseOwner(options.owner);
  const std::vector<Segment> segments = ParseSegmentWords(options.segments);
  Numbering numbering = OpenNumbering(options.domain);
  SavedRule saved;
  try {
    saved = numbering.SaveRule({owner, options.name, segments, options.force});
  } catch (const Failure& refusal) {
    if (refusal.kind() == FailureKind::kGuarded) RaiseGuarded(refusal, "save the rule as it is");
    throw;
  }
  if (options.domain.json) {
    nlohmann::json answer = RuleJson(saved.rule);
    answer["notes"] = saved.notes;
    std::cout << answer.dump() << '\n';
    return kExitOk;
  }
  std::cout << "Saved rule \"" << saved.rule.name << "\" of " << FormatOwner(owner)
            << (saved.rule.owner_name.empty() ? "" : " (" + saved.rule.owner_name + ")") << ": "
            << saved.rule.segments.size() << " segments, next running number "
            << NextNumberText(saved.rule, "(none)") << ".\n";
  for (const std::string& note : saved.notes) std::cout << "note: " << note << '\n';
  return kExitOk;
}

int RunDelete(const RuleOptions& options) {
  const RuleOwner owner = ParseOwner(options.owner);
  Numbering numbering = OpenNumbering(options.domain);
  RequireOwnRule(numbering, owner);
  const Rule rule = numbering.DeleteRule(owner);
  std::cout << "Deleted rule \"" << rule.name << "\" of " << FormatOwner(owner) << ".\n";
  return kExitOk;
}

int RunHistory(const RuleOptions& options) {
  return RunRuleHistory(options.domain, options.owner, options.since);
}

int RunExport(const RuleOptions& options) {
  return RunRuleExport(options.domain, options.owners, options.with_numbers, options.with_codes,
                       options.output);
}

int RunImport(const RuleOptions& options) {
  return RunRuleImport(options.domain, options.file, options.dry_run, options.force);
}

CLI::App* AddOwner(CLI::App& command, RuleOptions& options) {
  command.add_option("OWNER", options.owner, "item:CODE, class:CODE or all")->required();
  return &command;
}

std::string SegmentNotationHelp() {
  return R"(Segments, one word each:  SOURCE[=VALUE][,KEY=VALUE]...

  text=SN-            fixed text
  date=YYYYMMDD       the document date; YYYY YY MM DD HH :MM: SS are replaced
  department=1,...    the department cut to a level (1 = top level)
  class=2,...         the item's inventory class cut to a level
  number,...          the running number: width = digits, step, start (default 1)
  lot workcenter warehouse clerk supplier item free1 ... free10
                      the value of the document line (item: the item code)

  width=N   the text is fitted to N characters: padded on the left, or cut to its
            last N (needed by every source but date and text)
  pad=C     the pad sign (default 0)
  fill=C    an empty value becomes C repeated width times (without fill, an
            empty value gives no serial number)
  step=N    how far the running number goes per serial number (number: default 1)
  format=F  the format of a source without a value of its own (rarely needed)

Department, work center, warehouse, clerk, supplier, class and item values are
replaced by their mapped code when they have one (see 'quillet mapping').
Their format, width and pad are shared by every rule: saving one changes all.
Escapes in values: \, \= \\ \n \r \t \u{HEX}. Quote words holding * ? ' or blanks.

Examples:
  quillet rule save class:0102 --name "Floor lamps" text=FL- 'department=1,width=2,fill=X' date=YYMM number,width=4
  quillet rule save item:LW-DL-110 --name "Aster dimmable" text=ASD- date=YYMMDD- number,width=4,step=1,start=100
  quillet rule save all --name General text=SN- date=YYYYMMDD- number,width=5)";
}

}  // namespace

Command AddRuleCommand(CLI::App& tool) {
  auto options = std::make_shared<RuleOptions>();
  CLI::App* rule = tool.add_subcommand("rule", "list, show, save and delete rules; their history");
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

  CLI::App* history =
      rule->add_subcommand("history", "who changed rules, running numbers and codes, and how");
  history->add_option("OWNER", options->owner, "only the changes of OWNER's rule");
  history
      ->add_option("--since", options->since,
                   "only changes at or after WHEN (UTC, e.g. 2024-05-06 or 2024-05-06T10:00)")
      ->type_name("WHEN");
  AddDomainOptions(*history, options->domain, true);
  history->footer(
      "Every save, delete, running number set and mapping code set is recorded in the same\n"
      "transaction as the change, with the time (UTC), the user, and the rule before and\n"
      "after as 'quillet rule export' writes it (--json shows them whole).\n"
      "\n"
      "Examples:\n"
      "  quillet rule history\n"
      "  quillet rule history class:01 --since 2024-05-06 --json");

  CLI::App* exporting = rule->add_subcommand("export", "write rules to a rule file (JSON)");
  exporting->add_option("OWNER", options->owners, "only these owners' rules (default every rule)");
  exporting->add_flag("--with-numbers", options->with_numbers,
                      "also the running numbers and the counters of rules that restart");
  exporting->add_flag("--with-codes", options->with_codes, "also the mapping codes users set");
  exporting->add_option("-o,--output", options->output, "write to FILE (default standard output)")
      ->type_name("FILE");
  AddDomainOptions(*exporting, options->domain, false);
  exporting->footer(
      "The file is described in docs/rule-files.md. The same database gives the same bytes.\n"
      "\n"
      "Examples:\n"
      "  quillet rule export -o rules.json\n"
      "  quillet rule export class:01 item:LW-DL-100 --with-numbers --with-codes");

  CLI::App* importing =
      rule->add_subcommand("import", "make the database hold a rule file's rules");
  importing->add_option("FILE", options->file, "the rule file; - for standard input")->required();
  importing->add_flag("--dry-run", options->dry_run, "print the difference, change nothing");
  importing->add_flag("--force", options->force, "set running numbers back");
  AddDomainOptions(*importing, options->domain, true);
  importing->footer(
      "The difference is printed first: owners added (+), changed (~), removed (-) or\n"
      "unchanged (=), segment by segment, and the running numbers kept or set. Then it is\n"
      "applied in one transaction, or nothing is. Owners the file covers (every owner, or\n"
      "those of its \"owners\") that it does not list lose their rules.\n"
      "\n"
      "Examples:\n"
      "  quillet rule import rules.json --dry-run\n"
      "  quillet rule import rules.json");

  return WithSubcommands<RuleOptions>(rule, options,
                                      {{list, RunList},
                                       {show, RunShow},
                                       {save, RunSave},
                                       {remove, RunDelete},
                                       {history, RunHistory},
                                       {exporting, RunExport},
                                       {importing, RunImport}});
}

}  // namespace quillet::tool
