// The rows of the made-up demo company, table by table.
#ifndef QUILLET_APPS_DEMO_ROWS_H_
#define QUILLET_APPS_DEMO_ROWS_H_

#include <string>
#include <vector>

#include "maintenance/company_data.h"

namespace quillet::apps {

// Rows for one table; loading replaces a stored row with the same key, so
// loading twice keeps one copy.
using DemoTable = maintenance::TableRows;

// The demo company: level-coded classes and departments, items, archives,
// data sources with zh-CN and en-US captions, and three rules. Thread-safe.
std::vector<DemoTable> DemoCompany();

// Loads the made-up demo company into the database of `connection_string`:
// classes, items, departments, archives, data sources and captions (zh-CN,
// en-US), and a few rules. Assumes the schema exists; loading twice leaves
// one copy. One transaction. Raises the database's error.
void LoadDemo(const std::string& connection_string);

// The locale ids the demo company describes its data sources in.
const std::vector<std::string>& DemoLocales();

}  // namespace quillet::apps

#endif  // QUILLET_APPS_DEMO_ROWS_H_
