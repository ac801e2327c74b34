#include "apps/domain_session.h"

#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include "apps/options.h"
#include "apps/tool_error.h"
#include "quillet/error.h"
#include "store/rule_queries.h"
#include "store/setup_queries.h"

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

// Whether a read failed for want of its table (SQLite's "no such table",
// PostgreSQL's undefined table); other failures are the database's to tell.
bool IsMissingTable(const Error& error) {
  const std::string description = error.description();
  return description.starts_with("no such table") || description.ends_with("(SQLSTATE 42P01)");
}

// One read of each table the commands use; a missing table fails its read.
void RequireTables(store::Connection& db, const std::string& connection_string) {
  const std::vector<std::pair<const char*, std::function<void()>>> reads = {
      {"SNrulemain", [&] { store::setup::AllRuleHeaders(db); }},
      {"SNrule", [&] { store::generation::OwnerSegments(db, "", "0"); }},
      {"SNContrapose", [&] { store::generation::MappedCode(db, "", ""); }},
      {"SNPrefabricate_lang", [&] { store::setup::DataSourcesOfLocale(db, ""); }},
      {"inventory", [&] { store::generation::ItemClass(db, ""); }},
  };
  for (const auto& [table, read] : reads) {
    try {
      read();
    } catch (const Error& error) {
      if (!IsMissingTable(error)) throw;
      throw ToolFailure("the database " + connection_string + " has no readable table " + table +
                            " (" + error.description() + "): " + HowToCreate(connection_string),
                        error.number());
    }
  }
}

// A locale the data sources are not described in would leave the captions
// and the mappings' sources unfound; a database that describes none at all
// has nothing to choose from.
void RequireDescribedLocale(store::Connection& db, const std::string& locale) {
  const auto locales = store::setup::DataSourceLocales(db);
  std::string described;
  for (locales->MoveFirst(); !locales->Eof(); locales->MoveNext()) {
    const std::string known = locales->Field("localid").ToText();
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
  reader_ = std::make_unique<store::Connection>();
  reader_->Open(connection_string_);
  RequireTables(*reader_, connection_string_);
  component_ = std::make_unique<clsQuillet>();
  component_->init(login);
}

DomainSession::~DomainSession() = default;

}  // namespace quillet::apps
