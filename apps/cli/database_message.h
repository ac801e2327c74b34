// A database's error in words a person can act on: the database's own code
// and message first, then which database, then the number programs keep.
#ifndef QUILLET_APPS_CLI_DATABASE_MESSAGE_H_
#define QUILLET_APPS_CLI_DATABASE_MESSAGE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::cli {

// The message of an error whose description ends in the database's code, as
// the component writes them ("file is not a database (SQLITE_NOTADB)",
// "relation \"t\" does not exist (SQLSTATE 42P01)"):
//   "SQLITE_NOTADB: file is not a database (SQLite file x.db; error 26)"
//   "SQLSTATE 42P01: relation \"t\" does not exist (PostgreSQL dbname=erp; error 6844177)"
// `place` is what DatabasePlace says of the database, or "" when unknown.
// nullopt for a description without such a code. Pure.
std::optional<std::string> DatabaseMessage(std::string_view description, int32_t number,
                                           std::string_view place);

}  // namespace quillet::cli

#endif  // QUILLET_APPS_CLI_DATABASE_MESSAGE_H_
