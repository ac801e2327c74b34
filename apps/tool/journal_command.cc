// quillet journal [--owner OWNER] [--since WHEN]: the serial numbers that
// rules keeping a journal have issued with saving; `void` and `gaps` beside.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/tool/commands.h"
#include "apps/tool/journal_trail_command.h"
#include "apps/tool/text_table.h"

namespace quillet::tool {
namespace {

struct JournalOptions {
  DomainOptions domain;
  std::optional<std::string> owner;
  std::optional<std::string> since;
};

void PrintJson(const std::vector<JournalEntry>& entries) {
  nlohmann::json list = nlohmann::json::array();
  for (const auto& entry : entries) {
    list.push_back(
        {{"serial_number", entry.serial_number},
         {"owner", FormatOwner(entry.owner)},
         {"item", entry.item},
         {"running_number", entry.running_number ? nlohmann::json(*entry.running_number) : nullptr},
         {"document_date", entry.document_date},
         {"issued", entry.issued},
         {"user", entry.user}});
  }
  std::cout << list.dump() << '\n';
}

void PrintTable(const std::vector<JournalEntry>& entries) {
  if (entries.empty()) {
    std::cout << "No serial numbers in the journal: a rule records its issues with "
                 "journal=yes or unique=yes on its number segment.\n";
    return;
  }
  TextTable table({"ISSUED", "SERIAL NUMBER", "OWNER", "ITEM", "NUMBER", "DATE", "USER"});
  for (const auto& entry : entries) {
    table.AddRow({entry.issued, entry.serial_number, FormatOwner(entry.owner), entry.item,
                  entry.running_number ? std::to_string(*entry.running_number) : "",
                  entry.document_date, entry.user});
  }
  table.Print(std::cout);
}

int RunJournal(const JournalOptions& options) {
  JournalQuery query;
  if (options.owner) query.owner = ParseOwner(*options.owner);
  query.since = options.since.value_or("");
  Numbering numbering = OpenNumbering(options.domain);
  std::vector<JournalEntry> entries;
  try {
    entries = numbering.Journal(query);
  } catch (const Failure& missing) {
    if (missing.kind() != FailureKind::kNotFound) throw;
    throw ToolFailure(missing.description() + " with 'quillet init --db " + options.domain.db +
                      "'");
  }
  if (options.domain.json) {
    PrintJson(entries);
  } else {
    PrintTable(entries);
  }
  return kExitOk;
}

}  // namespace

Command AddJournalCommand(CLI::App& tool) {
  auto options = std::make_shared<JournalOptions>();
  CLI::App* command = tool.add_subcommand(
      "journal", "the serial numbers issued with saving by rules that keep a journal");
  command->add_option("--owner", options->owner, "only the issues of OWNER's rule")
      ->type_name("OWNER");
  command
      ->add_option("--since", options->since,
                   "only issues at or after WHEN (UTC, e.g. 2024-05-06 or 2024-05-06T10:00)")
      ->type_name("WHEN");
  AddDomainOptions(*command, options->domain, true);
  command->footer(
      "A rule keeps a journal with journal=yes (or unique=yes, which also refuses a serial\n"
      "number issued before) on its number segment. Each issue with saving is recorded with\n"
      "its owner, item, running number, document date, time (UTC) and user, oldest first.\n"
      "\n"
      "Examples:\n"
      "  quillet journal\n"
      "  quillet journal --owner class:01 --since 2024-05-06 --json");
  auto trail = AddJournalTrail(*command);
  return {command, [options, trail] {
            if (const std::optional<int> status = trail()) return *status;
            return RunReported("journal", [&] { return RunJournal(*options); });
          }};
}

}  // namespace quillet::tool
