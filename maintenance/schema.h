// The component's tables as a tool sees them: created, or found missing.
#ifndef QUILLET_MAINTENANCE_SCHEMA_H_
#define QUILLET_MAINTENANCE_SCHEMA_H_

#include <optional>
#include <string>

#include "generation/reader.h"
#include "quillet/error.h"

namespace quillet::maintenance {

// Opens `connection_string` (a missing SQLite file is created) and creates
// every table the component reads or writes, in one transaction; tables that
// exist are kept. Raises errc::kSharedRuleName, changing nothing, when a rule
// name is carried by more than one owner, and the database's error.
void CreateSchema(const std::string& connection_string);

// A table the database does not have, and the error its read raised.
struct MissingTable {
  std::string table;
  Error error;
};

// The first of the tables every command reads (rule headers, segments,
// mappings, data sources, inventory) that a read finds missing; nullopt when
// each can be read. Raises any other database error. Thread safety: that of
// the reader.
std::optional<MissingTable> FindMissingTable(generation::Reader& reader);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_SCHEMA_H_
