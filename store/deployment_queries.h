// What a deployment check reads of a database: the tables and indexes it
// holds, rule names carried twice, and a PostgreSQL server's commit and
// replication settings.
#ifndef QUILLET_STORE_DEPLOYMENT_QUERIES_H_
#define QUILLET_STORE_DEPLOYMENT_QUERIES_H_

#include <memory>

#include "quillet/recordset.h"
#include "store/connection.h"

// Every query runs on the connection passed and raises the database's error
// (see Connection). Thread safety: that of the connection.
namespace quillet::store::deployment {

// `name` of every table of the database (SQLite) or of the schemas on the
// search path (PostgreSQL).
std::shared_ptr<RecordSet> TableNames(Connection& db);

// `name` of every index, as TableNames.
std::shared_ptr<RecordSet> IndexNames(Connection& db);

// `rulename` and `owners` of each rule name more than one owner carries.
std::shared_ptr<RecordSet> SharedRuleNames(Connection& db);

// `rulename`, `cinvcode`, `cinvtype` and `cdatasrctype` of every data source
// a rule's segments read, each once per rule, by owner.
std::shared_ptr<RecordSet> RuleSources(Connection& db);

// `localid` and `cdatasrccode` of every described data source.
std::shared_ptr<RecordSet> DescribedSources(Connection& db);

// PostgreSQL only: one row of `synchronous_commit`, `standby_names`
// (synchronous_standby_names), `time_zone` and `in_recovery` (1 on a standby).
std::shared_ptr<RecordSet> ServerSettings(Connection& db);

// PostgreSQL only: `application_name` and `sync_state` ("sync", "quorum",
// "potential", "async"; empty when the role may not see it) of each
// standby streaming from the server.
std::shared_ptr<RecordSet> Standbys(Connection& db);

}  // namespace quillet::store::deployment

#endif  // QUILLET_STORE_DEPLOYMENT_QUERIES_H_
