#include "apps/domain_session.h"

#include <filesystem>
#include <optional>

#include "apps/options.h"
#include "apps/tool_error.h"
#include "maintenance/schema.h"
#include "mapping/source_locales.h"
#include "quillet/error.h"

namespace quillet::apps {
namespace {

constexpr std::string_view kSqliteScheme = "sqlite:";

std::string HowToCreate(const std::string& connection_string) {
  return "create it with 'quillet demo --db " + connection_string +
         "' (the demo company) or 'quillet init --db " + connection_string + "' (empty tables)";
}

void RequireSqliteFile(const std::string& connection_string) {
  const std::string path = SqlitePath(connection_string);
  if (path.empty()) return;
  std::error_code ignored;
  if (std::filesystem::is_regular_file(path, ignored)) return;
  throw ToolFailure("no database file " + path + ": " + HowToCreate(connection_string) +
                    ", or choose another with --db or QUILLET_DB");
}

// A table the commands read that is missing: tell which command creates it.
void RequireTables(generation::Reader& reader, const std::string& connection_string) {
  const std::optional<maintenance::MissingTable> missing = maintenance::FindMissingTable(reader);
  if (!missing) return;
  throw ToolFailure("the database " + connection_string + " has no readable table " +
                        missing->table + " (" + missing->error.description() +
                        "): " + HowToCreate(connection_string),
                    missing->error.number());
}

// A locale the data sources are not described in would leave the captions
// and the mappings' sources unfound; a database that describes none at all
// has nothing to choose from.
void RequireDescribedLocale(generation::Reader& reader, const std::string& locale) {
  std::string described;
  for (const std::string& known : mapping::DataSourceLocales(reader)) {
    if (known == locale) return;
    described += (described.empty() ? "" : ", ") + known;
  }
  if (described.empty()) return;
  throw ToolFailure("the database describes no data sources for locale '" + locale +
                    "' (it describes " + described +
                    "): choose one of those with --locale or QUILLET_LOCALE");
}

}  // namespace

void AddDomainOptions(CLI::App& command, DomainOptions& options, bool json) {
  AddDatabaseOption(command, options.db);
  AddLocaleOption(command, options.locale)->transform(CanonicalLocale, "", "");
  if (json) command.add_flag("--json", options.json, "print JSON for scripts instead of a table");
}

std::string SqlitePath(const std::string& connection_string) {
  if (!connection_string.starts_with(kSqliteScheme)) return "";
  return connection_string.substr(kSqliteScheme.size());
}

DomainSession::DomainSession(const DomainOptions& options)
    : DomainSession(options, StartSession({options.db, options.locale, {}})) {
  RequireDescribedLocale(*reader_, locale_);
}

DomainSession::DomainSession(const DomainOptions& options, std::shared_ptr<Login> login)
    : connection_string_(options.db), locale_(options.locale) {
  RequireSqliteFile(connection_string_);
  reader_ = std::make_unique<generation::Reader>(connection_string_);
  RequireTables(*reader_, connection_string_);
  component_ = std::make_unique<clsQuillet>();
  component_->init(login);
}

DomainSession::~DomainSession() = default;

}  // namespace quillet::apps
