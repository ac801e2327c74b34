// quillet journal [--owner OWNER] [--since WHEN]: the serial numbers that
// rules keeping a journal have issued with saving.
#include <algorithm>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "apps/commands.h"
#include "apps/domain_session.h"
#include "apps/owner_notation.h"
#include "apps/text_table.h"
#include "apps/tool_error.h"
#include "generation/policy_lookup.h"

namespace quillet::apps {
namespace {

struct JournalOptions {
  DomainOptions domain;
  std::optional<std::string> owner;
  std::optional<std::string> since;
};

std::string OwnerWordOf(const generation::JournalEntry& entry) {
  return FormatOwner(
      RuleOwner::FromNumber(entry.owner_code, static_cast<int16_t>(std::stoi(entry.owner_type))));
}

std::vector<generation::JournalEntry> ReadEntries(DomainSession& session,
                                                  const std::optional<RuleOwner>& owner,
                                                  const std::optional<std::string>& since) {
  try {
    return generation::ReadJournal(session.reader(), owner, since);
  } catch (const Error& error) {
    if (!generation::IsMissingTable(error)) throw;
    throw ToolFailure("the database " + session.connection_string() +
                          " has no journal yet: create its tables again with 'quillet init --db " +
                          session.connection_string() + "'",
                      error.number());
  }
}

void PrintJson(const std::vector<generation::JournalEntry>& entries) {
  nlohmann::json list = nlohmann::json::array();
  for (const auto& entry : entries) {
    list.push_back({{"serial_number", entry.serial},
                    {"owner", OwnerWordOf(entry)},
                    {"item", entry.item},
                    {"running_number", entry.number ? nlohmann::json(*entry.number) : nullptr},
                    {"document_date", entry.document_date},
                    {"issued", entry.issued},
                    {"user", entry.user}});
  }
  std::cout << list.dump() << '\n';
}

void PrintTable(const std::vector<generation::JournalEntry>& entries) {
  if (entries.empty()) {
    std::cout << "No serial numbers in the journal: a rule records its issues with "
                 "journal=yes or unique=yes on its number segment.\n";
    return;
  }
  TextTable table({"ISSUED", "SERIAL NUMBER", "OWNER", "ITEM", "NUMBER", "DATE", "USER"});
  for (const auto& entry : entries) {
    table.AddRow({entry.issued, entry.serial, OwnerWordOf(entry), entry.item,
                  entry.number ? std::to_string(*entry.number) : "", entry.document_date,
                  entry.user});
  }
  table.Print(std::cout);
}

int RunJournal(const JournalOptions& options) {
  const std::optional<RuleOwner> owner =
      options.owner ? std::optional<RuleOwner>(ParseOwner(*options.owner)) : std::nullopt;
  // Times are stored "YYYY-MM-DDTHH:MM:SS.mmmZ" and compared as text.
  std::optional<std::string> since = options.since;
  if (since) std::replace(since->begin(), since->end(), ' ', 'T');
  DomainSession session(options.domain);
  const auto entries = ReadEntries(session, owner, since);
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
  return {command,
          [options] { return RunReported("journal", [&] { return RunJournal(*options); }); }};
}

}  // namespace quillet::apps
