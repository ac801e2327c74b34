// Rows written over the rows of the same key: a company's reference data
// loaded again leaves one copy.
#ifndef QUILLET_STORE_KEYED_ROWS_H_
#define QUILLET_STORE_KEYED_ROWS_H_

#include <cstddef>
#include <string_view>
#include <vector>

#include "store/connection.h"

namespace quillet::store {

// Rows for one table. The first `key_count` columns identify a row. Table
// and column names are the caller's own words, never user values.
struct KeyedRows {
  std::string_view table;
  std::vector<std::string_view> columns;
  std::size_t key_count;
  std::vector<Params> rows;
};

// Deletes the stored row of each row's key, then inserts the row, in the
// caller's transaction. Raises the database's error (see Connection).
void ReplaceRows(Connection& db, const KeyedRows& table);

}  // namespace quillet::store

#endif  // QUILLET_STORE_KEYED_ROWS_H_
