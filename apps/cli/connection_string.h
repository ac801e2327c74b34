// The database a --db value (or QUILLET_DB) names, and how messages name it.
#ifndef QUILLET_APPS_CLI_CONNECTION_STRING_H_
#define QUILLET_APPS_CLI_CONNECTION_STRING_H_

#include <string>
#include <string_view>

namespace quillet::cli {

// The connection string of a --db value; the scheme may be left out:
//   sqlite:PATH, postgresql:CONNINFO      as written
//   postgresql://... and postgres://...   as written (libpq URIs)
//   host=... dbname=... (libpq keywords)  postgresql: put before it
//   anything else                         the path of a SQLite file
// Raises ToolUsage for a scheme the tool does not know ("mysql:erp"), naming
// the nearest known one, and for sqlite: without a path. Pure.
std::string NormalizeConnectionString(std::string_view value);

// Where a connection string leads, for messages: "SQLite file PATH" or
// "PostgreSQL CONNINFO" without any password. Pure.
std::string DatabasePlace(std::string_view connection_string);

}  // namespace quillet::cli

#endif  // QUILLET_APPS_CLI_CONNECTION_STRING_H_
