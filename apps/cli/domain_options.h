// The database a command works on (the tool's issue, preview, rule,
// mapping, number, journal, classes, items and demo, and `quillet serve`),
// opened through the typed interface with the command line's options, and
// its failures said the command line's way.
#ifndef QUILLET_APPS_CLI_DOMAIN_OPTIONS_H_
#define QUILLET_APPS_CLI_DOMAIN_OPTIONS_H_

#include <CLI/CLI.hpp>
#include <string>

#include "quillet/numbering.h"

namespace quillet::cli {

struct DomainOptions {
  std::string db;
  std::string locale;
  bool json = false;
};

// Adds --db (default QUILLET_DB, else sqlite:quillet.db) and --locale
// (default QUILLET_LOCALE, else zh-CN; read as CanonicalLocale) to
// `command`; with `json` also --json.
void AddDomainOptions(CLI::App& command, DomainOptions& options, bool json);

// Opens the database without creating anything, speaking the locale, with
// the user this process runs as for the journal. A missing SQLite file or
// missing tables raise ToolFailure telling which command creates them; a
// locale the database does not describe, which option chooses another.
// Asks for a missing value of an issue as "add --set SOURCE=VALUE".
Numbering OpenNumbering(const DomainOptions& options);

// The hint a refusal of the guard ends with: "(give --force to ACTION)".
[[noreturn]] void RaiseGuarded(const Failure& refusal, const std::string& action);

}  // namespace quillet::cli

#endif  // QUILLET_APPS_CLI_DOMAIN_OPTIONS_H_
