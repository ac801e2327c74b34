// The session of a domain command (issue, preview, rule, mapping, number,
// demo): an existing Quillet database, a component object bound to it, and a
// connection of the tool's own for read-only look-ups.
#ifndef QUILLET_APPS_DOMAIN_SESSION_H_
#define QUILLET_APPS_DOMAIN_SESSION_H_

#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "generation/reader.h"
#include "quillet/quillet.h"

namespace quillet::apps {

struct DomainOptions {
  std::string db;
  std::string locale;
  bool json = false;
};

// Adds --db (default QUILLET_DB, else sqlite:quillet.db) and --locale
// (default QUILLET_LOCALE, else zh-CN; read as CanonicalLocale) to
// `command`; with `json` also --json.
void AddDomainOptions(CLI::App& command, DomainOptions& options, bool json);

// The SQLite file of a connection string "sqlite:PATH", or "" for another
// kind of database. Pure.
std::string SqlitePath(const std::string& connection_string);

class DomainSession {
 public:
  // Opens the database without creating anything: a SQLite file that does
  // not exist, or a database without the component's tables, raises
  // ToolFailure telling which command creates them. Then binds a component
  // object (init) with the tool's login object and the locale, and raises
  // ToolFailure naming the locale when the database describes its data
  // sources in other locales only. Database errors raise quillet::Error.
  explicit DomainSession(const DomainOptions& options);
  // The same, bound with `login` and the language component installed now:
  // for a caller that manages the language itself (the network service).
  DomainSession(const DomainOptions& options, std::shared_ptr<Login> login);
  ~DomainSession();
  DomainSession(const DomainSession&) = delete;
  DomainSession& operator=(const DomainSession&) = delete;

  clsQuillet& component() { return *component_; }
  // The tool's own connection, for read-only look-ups only.
  generation::Reader& reader() { return *reader_; }
  const std::string& locale() const { return locale_; }
  const std::string& connection_string() const { return connection_string_; }

 private:
  std::string connection_string_;
  std::string locale_;
  std::unique_ptr<generation::Reader> reader_;
  std::unique_ptr<clsQuillet> component_;
};

}  // namespace quillet::apps

#endif  // QUILLET_APPS_DOMAIN_SESSION_H_
