// quillet number get OWNER | set OWNER N: the running number the next serial
// number of an owner's rule carries.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "apps/catalog.h"
#include "apps/commands.h"
#include "apps/domain_session.h"
#include "apps/rule_store.h"
#include "apps/tool_error.h"
#include "core/number_text.h"

namespace quillet::apps {
namespace {

struct NumberOptions {
  DomainOptions domain;
  std::string owner;
  std::string number;
  bool force = false;
};

void RequireWholeNumber(const std::string& text) {
  if (!service::ParseNumber<int32_t>(text)) {
    throw ToolUsage("N '" + text + "' is not a whole number from -2147483648 to 2147483647");
  }
}

// Setting the number back issues numbers again that may have been issued.
void RequireForward(const RuleOwner& owner, const std::string& before, const std::string& number) {
  const std::optional<int32_t> current = service::ParseNumber<int32_t>(before);
  if (!current || *service::ParseNumber<int32_t>(number) >= *current) return;
  throw ToolFailure("the next running number of " + FormatOwner(owner) + " is " + before +
                    ": setting it back to " + number + " issues " + number + " to " +
                    std::to_string(*current - 1) +
                    " again, serial numbers that may have been issued already (give --force to "
                    "set it all the same)");
}

int RunGet(const NumberOptions& options) {
  const RuleOwner owner = ParseOwner(options.owner);
  DomainSession session(options.domain);
  Catalog(session).RequireRule(owner);
  const std::string number = ReadNextNumber(session.component(), owner);
  if (options.domain.json) {
    std::cout << nlohmann::json{{"owner", FormatOwner(owner)}, {"next_number", number}}.dump()
              << '\n';
  } else {
    std::cout << "next running number of " << FormatOwner(owner) << ": "
              << (number.empty() ? "(none)" : number) << '\n';
  }
  return kExitOk;
}

int RunSet(const NumberOptions& options) {
  const RuleOwner owner = ParseOwner(options.owner);
  RequireWholeNumber(options.number);
  DomainSession session(options.domain);
  Catalog(session).RequireRule(owner);
  const std::string before = ReadNextNumber(session.component(), owner);
  if (!options.force) RequireForward(owner, before, options.number);
  WriteNextNumber(session.component(), owner, options.number);
  std::cout << "next running number of " << FormatOwner(owner) << ": " << options.number << " (was "
            << (before.empty() ? "none" : before) << ")\n";
  return kExitOk;
}

void AddOwner(CLI::App& command, NumberOptions& options) {
  command.add_option("OWNER", options.owner, "item:CODE, class:CODE or all")->required();
}

}  // namespace

Command AddNumberCommand(CLI::App& tool) {
  auto options = std::make_shared<NumberOptions>();
  CLI::App* number =
      tool.add_subcommand("number", "read or set the running number of an owner's rule");
  number->require_subcommand(1);
  number->footer(
      "The stored running number is the one the next serial number carries; issuing with\n"
      "--save advances it by the rule's step.");

  CLI::App* get = number->add_subcommand("get", "the next running number of OWNER's rule");
  AddOwner(*get, *options);
  AddDomainOptions(*get, options->domain, true);
  get->footer("Example:\n  quillet number get class:01");

  CLI::App* set = number->add_subcommand("set", "make N the next running number of OWNER's rule");
  AddOwner(*set, *options);
  set->add_option("N", options->number, "the next running number")->required();
  set->add_flag("--force", options->force,
                "set a number below the current one, so that numbers already issued come again");
  AddDomainOptions(*set, options->domain, false);
  set->footer("Example:\n  quillet number set all 500");

  return WithSubcommands<NumberOptions>(number, options, {{get, RunGet}, {set, RunSet}});
}

}  // namespace quillet::apps
