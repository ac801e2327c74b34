// quillet verify SERIAL: which rule could have written a serial number, its
// check characters, and whether it was issued.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/cli/verdict_json.h"
#include "apps/tool/commands.h"
#include "apps/tool/text_table.h"

namespace quillet::tool {
namespace {

struct VerifyOptions {
  DomainOptions domain;
  std::string serial;
};

std::string CheckWords(const SerialFit& fit) {
  if (!fit.check) return "(none)";
  return std::string(CheckMethodWord(*fit.check)) + (fit.check_right ? ": right" : ": WRONG");
}

std::string IssueWords(const SerialFit& fit) {
  if (!fit.journaled) return "(the rule keeps no journal)";
  if (!fit.issue) return "NEVER (the rule's journal does not hold it)";
  const SerialFit::Issue& issue = *fit.issue;
  return issue.issued + ", item " + issue.item + ", document date " + issue.document_date +
         (issue.user.empty() ? "" : ", by " + issue.user);
}

void PrintText(const SerialVerdict& verdict) {
  if (verdict.fits.empty()) {
    std::cout << verdict.serial_number << ": fits no rule's pattern\n";
    return;
  }
  for (const SerialFit& fit : verdict.fits) {
    const auto or_none = [](const std::string& text) { return text.empty() ? "(none)" : text; };
    std::vector<std::pair<std::string, std::string>> fields = {
        {"serial number", verdict.serial_number},
        {"rule", "\"" + fit.rule + "\" of " + FormatOwner(fit.owner)},
        {"prefix", or_none(fit.prefix)}};
    if (!fit.date_pattern.empty()) {
      fields.emplace_back("date part", fit.date_part + " (" + fit.date_pattern + ")");
    }
    fields.emplace_back("running number",
                        fit.running_number.empty()
                            ? "(none)"
                            : fit.running_number + " (" + std::to_string(fit.digits) + " digits)");
    fields.emplace_back("suffix", or_none(fit.suffix));
    fields.emplace_back("check", CheckWords(fit));
    fields.emplace_back("issued", IssueWords(fit));
    fields.emplace_back("verdict", fit.Good() ? "good" : "BAD");
    PrintFields(std::cout, fields);
  }
}

int RunVerify(const VerifyOptions& options) {
  Numbering numbering = OpenNumbering(options.domain);
  const SerialVerdict verdict = numbering.Verify(options.serial);
  if (options.domain.json) {
    std::cout << cli::VerdictJson(verdict).dump() << '\n';
  } else {
    PrintText(verdict);
  }
  return verdict.Good() ? kExitOk : kExitRaised;
}

}  // namespace

Command AddVerifyCommand(CLI::App& tool) {
  auto options = std::make_shared<VerifyOptions>();
  CLI::App* command = tool.add_subcommand(
      "verify", "what a serial number is: its rule, its check characters, when it was issued");
  command->add_option("SERIAL", options->serial, "the serial number, as typed or scanned")
      ->required();
  AddDomainOptions(*command, options->domain, true);
  command->footer(
      "Tells each rule whose pattern SERIAL fits (its prefix, date part and running number of\n"
      "the rule's width), whether its check characters are right (check=), and, for a rule\n"
      "that keeps a journal, when, for which item and document date and by whom it was\n"
      "issued, or that it never was (the journal is searched for SERIAL as typed, letters in\n"
      "its case). Exit status 0 when some rule fits it with a right check\n"
      "(and, keeping a journal, issued it), 1 otherwise.\n"
      "\n"
      "Examples:\n"
      "  quillet verify LW01-2405-000172\n"
      "  quillet verify SN-20240506-00005 --json");
  return {command,
          [options] { return RunReported("verify", [&] { return RunVerify(*options); }); }};
}

}  // namespace quillet::tool
