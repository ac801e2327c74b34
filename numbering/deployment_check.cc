#include "numbering/deployment_check.h"

#include <cstdlib>
#include <map>
#include <set>

#include "core/ascii_case.h"
#include "core/field_text.h"
#include "store/database_error.h"
#include "store/deployment_queries.h"
#include "store/schema_tables.h"

namespace quillet::numbering {
namespace {

using Severity = CheckFinding::Severity;
namespace queries = store::deployment;

std::string Text(const RecordSet& rows, std::string_view column) {
  return FieldTextOrEmpty(rows.Field(column));
}

std::set<std::string> LowerNames(RecordSet& rows) {
  std::set<std::string> names;
  for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
    names.insert(service::AsciiLowered(Text(rows, "name")));
  }
  return names;
}

// Names of `wanted` the database lacks, comma-separated.
template <typename Defs>
std::string MissingNames(const Defs& wanted, const std::set<std::string>& present) {
  std::string missing;
  for (const auto& def : wanted) {
    if (present.contains(service::AsciiLowered(std::string(def.name)))) continue;
    missing += (missing.empty() ? "" : ", ") + std::string(def.name);
  }
  return missing;
}

struct Findings {
  DeploymentCheck check;
  void Add(std::string topic, Severity severity, std::string text) {
    check.findings.push_back({std::move(topic), severity, std::move(text)});
  }
};

bool CheckTables(store::Connection& db, Findings& out) {
  const std::string tables = MissingNames(store::Tables(), LowerNames(*queries::TableNames(db)));
  if (!tables.empty()) {
    out.Add("tables", Severity::kProblem, "missing: " + tables + " (quillet init creates them)");
    return false;
  }
  out.Add("tables", Severity::kNote, "all " + std::to_string(store::Tables().size()) + " present");
  const std::string indexes = MissingNames(store::Indexes(), LowerNames(*queries::IndexNames(db)));
  if (indexes.empty()) {
    out.Add("indexes", Severity::kNote,
            "all " + std::to_string(store::Indexes().size()) + " present");
  } else {
    out.Add("indexes", Severity::kProblem, "missing: " + indexes + " (quillet init creates them)");
  }
  return true;
}

void CheckRuleNames(store::Connection& db, Findings& out) {
  const auto shared = queries::SharedRuleNames(db);
  if (shared->RecordCount() == 0) out.Add("rule names", Severity::kNote, "each name is one rule's");
  for (shared->MoveFirst(); !shared->Eof(); shared->MoveNext()) {
    out.Add("rule names", Severity::kProblem,
            "\"" + Text(*shared, "rulename") + "\" is carried by " + Text(*shared, "owners") +
                " owners: rename all but one");
  }
}

void CheckStandbys(store::Connection& db, const std::string& standby_names, Findings& out) {
  const auto standbys = queries::Standbys(db);
  if (standbys->RecordCount() == 0) {
    if (standby_names.empty()) {
      out.Add("replication", Severity::kNote, "no standby streams from this server");
    } else {
      out.Add("replication", Severity::kWarning,
              "synchronous_standby_names is '" + standby_names +
                  "' but no standby is connected: every commit waits until one is");
    }
    return;
  }
  for (standbys->MoveFirst(); !standbys->Eof(); standbys->MoveNext()) {
    const std::string name = Text(*standbys, "application_name");
    const std::string state = Text(*standbys, "sync_state");
    if (state == "sync" || state == "quorum") {
      out.Add("replication", Severity::kNote,
              "standby '" + name + "' is synchronous (" + state + ")");
    } else {
      out.Add("replication", Severity::kWarning,
              "standby '" + name + "' streams asynchronously (" +
                  (state.empty() ? std::string("state not visible to this role") : state) +
                  "): after a failover it can issue committed serial numbers again; name it in "
                  "synchronous_standby_names");
    }
  }
}

void CheckServer(store::Connection& db, Findings& out) {
  if (db.dialect() != store::Dialect::kPostgresql) {
    out.Add("replication", Severity::kNote, "SQLite: one file, no standby");
    const char* zone = std::getenv("TZ");
    out.Add("time zone", Severity::kNote,
            std::string("dates without a time zone are this process's local time (TZ=") +
                (zone ? zone : "unset") + ")");
    return;
  }
  const auto settings = queries::ServerSettings(db);
  settings->MoveFirst();
  const std::string commit = Text(*settings, "synchronous_commit");
  if (Text(*settings, "in_recovery") == "1") {
    out.Add("replication", Severity::kProblem, "the server is a standby: it refuses writes");
  }
  if (commit == "off" || commit == "local") {
    out.Add("replication", Severity::kWarning,
            "synchronous_commit is " + commit +
                ": a commit answered before it is safe on a standby (or on disk) can be lost, "
                "and its serial numbers issued again");
  } else {
    out.Add("replication", Severity::kNote, "synchronous_commit is " + commit);
  }
  CheckStandbys(db, Text(*settings, "standby_names"), out);
  out.Add("pooler", Severity::kNote,
          db.ThroughPooler() ? "reached through a transaction pooler: statements go unnamed"
                             : "reached directly: statements stay prepared");
  out.Add("time zone", Severity::kNote, "the server's TimeZone is " + Text(*settings, "time_zone"));
}

// The data sources that read an archive or a free item, and so need a
// description (a caption, a table) in each locale.
bool NeedsDescription(int source) { return (source >= 2 && source <= 8) || source >= 20; }

using SourcesByLocale = std::map<std::string, std::set<int>>;

SourcesByLocale DescribedSources(store::Connection& db, Findings& out) {
  SourcesByLocale described;
  const auto rows = queries::DescribedSources(db);
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    described[Text(*rows, "localid")].insert(std::atoi(Text(*rows, "cdatasrccode").c_str()));
  }
  if (described.empty()) {
    out.Add("data sources", Severity::kProblem,
            "no locale describes the data sources: mappings and captions cannot be read");
  }
  for (const auto& [locale, sources] : described) {
    out.Add("data sources", Severity::kNote,
            locale + ": " + std::to_string(sources.size()) + " described");
  }
  return described;
}

void CheckRuleSources(store::Connection& db, const SourcesByLocale& described, Findings& out) {
  const auto rows = queries::RuleSources(db);
  bool all_described = true;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    const int source = std::atoi(Text(*rows, "cdatasrctype").c_str());
    if (!NeedsDescription(source)) continue;
    const RuleOwner owner = RuleOwner::FromNumber(
        Text(*rows, "cinvcode"), static_cast<int16_t>(std::atoi(Text(*rows, "cinvtype").c_str())));
    for (const auto& [locale, sources] : described) {
      if (sources.contains(source)) continue;
      all_described = false;
      out.Add("rules", Severity::kProblem,
              "rule \"" + Text(*rows, "rulename") + "\" of " + FormatOwner(owner) + " reads " +
                  DataSourceName(static_cast<DataSource>(source)) + ", which " + locale +
                  " does not describe");
    }
  }
  if (all_described && !described.empty()) {
    out.Add("rules", Severity::kNote, "every data source the rules read is described");
  }
}

}  // namespace

DeploymentCheck CheckDeployment(store::Connection& db) {
  Findings out;
  const bool tables = CheckTables(db, out);
  if (tables) CheckRuleNames(db, out);
  CheckServer(db, out);
  if (tables) CheckRuleSources(db, DescribedSources(db, out), out);
  return std::move(out.check);
}

}  // namespace quillet::numbering
