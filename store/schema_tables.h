// The definitions of every table the component creates, shared by the
// statements that create them and by the column-name spelling of query results.
#ifndef QUILLET_STORE_SCHEMA_TABLES_H_
#define QUILLET_STORE_SCHEMA_TABLES_H_

#include <string_view>
#include <vector>

namespace quillet::store {

enum class ColumnKind { kText, kInteger };

struct ColumnDef {
  std::string_view name;
  ColumnKind kind = ColumnKind::kText;
  bool not_null = false;
  std::string_view default_value = {};  // SQL literal, empty for none
};

struct TableDef {
  std::string_view name;
  std::vector<ColumnDef> columns;
  std::vector<std::string_view> primary_key;  // empty for none
};

struct IndexDef {
  std::string_view name;
  std::string_view table;
  std::vector<std::string_view> columns;
  bool unique = false;
};

// The component's own tables, the host tables it reads, and the archives of
// the demo company, in creation order. Thread-safe (immutable).
const std::vector<TableDef>& Tables();
// The indexes of the look-ups the component makes, and the unique keys that
// keep simultaneous writers from storing a rule name or a mapping row twice.
const std::vector<IndexDef>& Indexes();

// Indexes of earlier versions that a unique key above replaces.
const std::vector<std::string_view>& ReplacedIndexes();

// The spelling the table definitions give a column name, matched without
// regard to case; `name` itself when no table has such a column.
std::string_view DefinedColumnSpelling(std::string_view name);

}  // namespace quillet::store

#endif  // QUILLET_STORE_SCHEMA_TABLES_H_
