// The component's own tables and the host tables it reads.
#ifndef QUILLET_STORE_SCHEMA_H_
#define QUILLET_STORE_SCHEMA_H_

#include "store/connection.h"

namespace quillet::store {

// Creates every table the component reads or writes, with keys and indexes;
// tables that exist are left as they are. Idempotent.
void CreateSchema(Connection& db);

}  // namespace quillet::store

#endif  // QUILLET_STORE_SCHEMA_H_
