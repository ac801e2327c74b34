// The rows of the made-up demo company, table by table.
#ifndef QUILLET_APPS_DEMO_ROWS_H_
#define QUILLET_APPS_DEMO_ROWS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "store/connection.h"

namespace quillet::store {

// Rows for one table. The first `key_count` columns identify a row: loading
// replaces a stored row with the same key, so loading twice keeps one copy.
struct DemoTable {
  std::string_view table;
  std::vector<std::string_view> columns;
  std::size_t key_count;
  std::vector<Params> rows;
};

// The demo company: level-coded classes and departments, items, archives,
// data sources with zh-CN and en-US captions, and three rules. Thread-safe.
std::vector<DemoTable> DemoCompany();

// Loads the made-up demo company: classes, items, departments, archives,
// data sources and captions (zh-CN, en-US), and a few rules. Assumes the
// schema exists; loading twice leaves one copy. One transaction.
void LoadDemo(Connection& db);

// LoadDemo's statements in the caller's transaction.
void LoadDemoRows(Connection& db);

// The locale ids the demo company describes its data sources in.
const std::vector<std::string>& DemoLocales();

}  // namespace quillet::store

#endif  // QUILLET_APPS_DEMO_ROWS_H_
