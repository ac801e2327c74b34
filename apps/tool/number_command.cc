// quillet number get OWNER | set OWNER N: the running number the next serial
// number of an owner's rule carries; for a rule that starts again every
// period or prefix, the counter of the line --date and --set describe.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "apps/cli/domain_options.h"
#include "apps/tool/commands.h"
#include "apps/tool/line_options.h"
#include "core/number_text.h"

namespace quillet::tool {
namespace {

struct NumberOptions {
  DomainOptions domain;
  std::string owner;
  std::string number;
  std::string item;
  ValueOptions values;
  bool force = false;
};

int32_t RequireWholeNumber(const std::string& text) {
  const std::optional<int32_t> number = service::ParseNumber<int32_t>(text);
  if (!number) {
    throw ToolUsage("N '" + text + "' is not a whole number from -2147483648 to 2147483647");
  }
  return *number;
}

// " (counter 2024-05)" for a rule that restarts, "" otherwise.
std::string CounterWords(const RunningNumber& number) {
  return number.counter.empty() ? "" : " (counter " + number.counter + ")";
}

int RunGet(const NumberOptions& options) {
  const RuleOwner owner = ParseOwner(options.owner);
  const Line line = LineOfOptions(options.item, options.values);
  Numbering numbering = OpenNumbering(options.domain);
  const RunningNumber number = numbering.GetRunningNumber(owner, line);
  if (options.domain.json) {
    nlohmann::json answer = {{"owner", FormatOwner(owner)}, {"next_number", number.next_number}};
    if (!number.counter.empty()) answer["counter"] = number.counter;
    std::cout << answer.dump() << '\n';
  } else {
    std::cout << "next running number of " << FormatOwner(owner) << CounterWords(number) << ": "
              << (number.next_number.empty() ? "(none)" : number.next_number) << '\n';
  }
  return kExitOk;
}

int RunSet(const NumberOptions& options) {
  const RuleOwner owner = ParseOwner(options.owner);
  const int32_t next = RequireWholeNumber(options.number);
  const Line line = LineOfOptions(options.item, options.values);
  Numbering numbering = OpenNumbering(options.domain);
  SetRunningNumberResult set;
  try {
    set = numbering.SetRunningNumber({owner, next, line, options.force});
  } catch (const Failure& refusal) {
    if (refusal.kind() == FailureKind::kGuarded) RaiseGuarded(refusal, "set it all the same");
    throw;
  }
  std::cout << "next running number of " << FormatOwner(owner) << CounterWords(set.number) << ": "
            << set.number.next_number << " (was " << (set.previous.empty() ? "none" : set.previous)
            << ")\n";
  return kExitOk;
}

void AddOwnerAndLine(CLI::App& command, NumberOptions& options) {
  command.add_option("OWNER", options.owner, "item:CODE, class:CODE or all")->required();
  command.add_option("--item", options.item,
                     "the line's item, for a rule that starts again for each prefix");
  AddValueOptions(command, options.values);
}

}  // namespace

Command AddNumberCommand(CLI::App& tool) {
  auto options = std::make_shared<NumberOptions>();
  CLI::App* number =
      tool.add_subcommand("number", "read or set the running number of an owner's rule");
  number->require_subcommand(1);
  number->footer(
      "The stored running number is the one the next serial number carries; issuing with\n"
      "--save advances it by the rule's step. A rule that starts again every year, month or\n"
      "day keeps a counter per period: --date chooses it (default: today). One that starts\n"
      "again for each prefix keeps one per text around the number: --item and --set say\n"
      "which line's.");

  CLI::App* get = number->add_subcommand("get", "the next running number of OWNER's rule");
  AddOwnerAndLine(*get, *options);
  AddDomainOptions(*get, options->domain, true);
  get->footer(
      "Examples:\n  quillet number get class:01\n  quillet number get all --date 2024-05-06");

  CLI::App* set = number->add_subcommand("set", "make N the next running number of OWNER's rule");
  AddOwnerAndLine(*set, *options);
  set->add_option("N", options->number, "the next running number")->required();
  set->add_flag("--force", options->force,
                "set a number below the current one, so that numbers already issued come again");
  AddDomainOptions(*set, options->domain, false);
  set->footer("Example:\n  quillet number set all 500");

  return WithSubcommands<NumberOptions>(number, options, {{get, RunGet}, {set, RunSet}});
}

}  // namespace quillet::tool
