#include "apps/tool/journal_trail_command.h"

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/cli/trail_json.h"
#include "apps/tool/commands.h"
#include "apps/tool/text_table.h"

namespace quillet::tool {
namespace {

struct TrailOptions {
  DomainOptions domain;
  std::string serial;
  std::string reason;
  std::string owner;
  std::optional<std::string> since;
};

int RunVoid(const TrailOptions& options) {
  Numbering numbering = OpenNumbering(options.domain);
  const VoidedSerial voided = numbering.VoidSerialNumber({options.serial, options.reason, {}});
  if (options.domain.json) {
    std::cout << cli::VoidedJson(voided).dump() << '\n';
  } else {
    std::cout << "Voided " << voided.serial_number << " of " << FormatOwner(voided.owner) << " at "
              << voided.voided << ": " << voided.reason << ".\n";
  }
  return kExitOk;
}

int RunGaps(const TrailOptions& options) {
  Numbering numbering = OpenNumbering(options.domain);
  const std::vector<NumberGap> gaps =
      numbering.Gaps({ParseOwner(options.owner), options.since.value_or("")});
  if (options.domain.json) {
    std::cout << cli::GapsJson(gaps).dump() << '\n';
    return kExitOk;
  }
  if (gaps.empty()) {
    std::cout << "No gaps: every running number of the rule of " << options.owner
              << " stands for a serial number issued and not voided.\n";
    return kExitOk;
  }
  TextTable table({"COUNTER", "NUMBER", "REASON", "DETAIL"});
  for (const NumberGap& gap : gaps) {
    table.AddRow({gap.counter, std::to_string(gap.running_number), gap.reason, gap.detail});
  }
  table.Print(std::cout);
  return kExitOk;
}

}  // namespace

std::function<std::optional<int>()> AddJournalTrail(CLI::App& journal) {
  auto options = std::make_shared<TrailOptions>();
  CLI::App* voiding = journal.add_subcommand(
      "void", "mark a serial number of the journal void (once; nothing is deleted)");
  voiding->add_option("SERIAL", options->serial, "the serial number")->required();
  voiding->add_option("--reason", options->reason, "why it is void")->required();
  AddDomainOptions(*voiding, options->domain, true);
  voiding->footer("Example:\n  quillet journal void LW0120240506-0003 --reason \"label torn\"");

  CLI::App* gaps =
      journal.add_subcommand("gaps", "the running numbers a rule skipped or voided, and why");
  gaps->add_option("OWNER", options->owner, "item:CODE, class:CODE or all")->required();
  gaps->add_option("--since", options->since,
                   "only from the issues at or after WHEN (UTC, e.g. 2024-05-06)")
      ->type_name("WHEN");
  AddDomainOptions(*gaps, options->domain, true);
  gaps->footer(
      "A number is missing because it was voided, because a running number was set past\n"
      "it ('quillet number set'), or because it was used up without an issue being\n"
      "recorded (a failed save). A rule that restarts is read period by period.\n"
      "\n"
      "Example:\n  quillet journal gaps class:01");

  return [voiding, gaps, options]() -> std::optional<int> {
    if (voiding->parsed()) return RunReported("journal void", [&] { return RunVoid(*options); });
    if (gaps->parsed()) return RunReported("journal gaps", [&] { return RunGaps(*options); });
    return std::nullopt;
  };
}

}  // namespace quillet::tool
