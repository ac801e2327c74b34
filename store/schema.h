// The component's own tables and the host tables it reads.
#ifndef QUILLET_STORE_SCHEMA_H_
#define QUILLET_STORE_SCHEMA_H_

#include "store/connection.h"

namespace quillet::store {

// Creates every table the component reads or writes, with keys and indexes;
// tables that exist are left as they are, and a database of an earlier
// version gets the unique keys it lacks (of mapping rows that an archive value
// has more than once, one stays: a user's code before a generated one).
// Raises errc::kSharedRuleName, changing nothing, when a rule name is carried
// by more than one owner.
// Idempotent; one transaction.
void CreateSchema(Connection& db);

// CreateSchema's statements in the caller's transaction, so that they commit
// or roll back with what the caller writes besides.
void CreateTables(Connection& db);

}  // namespace quillet::store

#endif  // QUILLET_STORE_SCHEMA_H_
