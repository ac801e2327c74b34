#include "apps/cli/domain_options.h"

#include <filesystem>

#include "apps/cli/options.h"
#include "apps/cli/tool_error.h"

namespace quillet::cli {
namespace {

constexpr std::string_view kSqliteScheme = "sqlite:";

std::string HowToCreate(const std::string& connection_string) {
  return "create it with 'quillet demo --db " + connection_string +
         "' (the demo company) or 'quillet init --db " + connection_string + "' (empty tables)";
}

void RequireSqliteFile(const std::string& connection_string) {
  if (!connection_string.starts_with(kSqliteScheme)) return;
  const std::string path = connection_string.substr(kSqliteScheme.size());
  std::error_code ignored;
  if (std::filesystem::is_regular_file(path, ignored)) return;
  throw ToolFailure("no database file " + path + ": " + HowToCreate(connection_string) +
                    ", or choose another with --db or QUILLET_DB");
}

}  // namespace

void AddDomainOptions(CLI::App& command, DomainOptions& options, bool json) {
  AddDatabaseOption(command, options.db);
  AddLocaleOption(command, options.locale)->transform(CanonicalLocale, "", "");
  if (json) command.add_flag("--json", options.json, "print JSON for scripts instead of a table");
}

Numbering OpenNumbering(const DomainOptions& options) {
  RequireSqliteFile(options.db);
  Numbering::Options settings;
  settings.locale = options.locale;
  settings.user = SignedInUser();
  settings.ask_for_value = [](const std::string& source) {
    return "add --set " + source + "=VALUE";
  };
  try {
    return Numbering::Open(options.db, settings);
  } catch (const Failure& failure) {
    if (failure.kind() != FailureKind::kNotFound) throw;
    // Tables missing, or a locale the database does not describe.
    const bool tables = failure.number() != errc::kNotFound;
    throw ToolFailure(failure.description() + ": " +
                          (tables ? HowToCreate(options.db)
                                  : "choose one of those with --locale or QUILLET_LOCALE"),
                      tables ? std::optional<int32_t>(failure.number()) : std::nullopt);
  }
}

void RaiseGuarded(const Failure& refusal, const std::string& action) {
  throw ToolFailure(refusal.description() + " (give --force to " + action + ")", refusal.number());
}

}  // namespace quillet::cli
