// A company's reference data loaded into a database: the archives, the data
// sources and their captions, rules and users' codes. The tool's demo company
// is one; its rows are the tool's, the writing is here.
#ifndef QUILLET_MAINTENANCE_COMPANY_DATA_H_
#define QUILLET_MAINTENANCE_COMPANY_DATA_H_

#include <memory>
#include <string>
#include <vector>

#include "quillet/owner.h"
#include "quillet/xml_document.h"
#include "store/keyed_rows.h"
#include "store/mapping_contrapose.h"

namespace quillet::maintenance {

// Rows for one table: `table`, `columns`, `key_count` (the first columns,
// which identify a row) and `rows`, each one value (or null) per column.
using TableRows = store::KeyedRows;

// Writes each table's rows over the stored rows of the same keys, in one
// transaction on a connection of its own: loading twice keeps one copy.
// Assumes the tables exist. Raises the database's error, changing nothing.
void LoadRows(const std::string& connection_string, const std::vector<TableRows>& tables);

// A rule as a rule document saves it.
struct CompanyRule {
  std::shared_ptr<XmlDocument> document;
  RuleOwner owner;
  std::string name;
};

// A user's code for the value `value` of an archive, `width` the width of the
// archive's codes.
struct UserCode {
  store::mapping::Archive archive;
  std::string width;
  std::string value;
  std::string code;
};

struct Company {
  std::string marker_item;  // an item only this company has
  std::vector<TableRows> tables;
  std::vector<CompanyRule> rules;
  std::vector<UserCode> codes;
};

enum class CompanyLoad {
  kLoaded,     // the tables were loaded now
  kKept,       // the database held the marker item: its rows were kept
  kOtherData,  // another company's classes are there: nothing was changed
};

// In one transaction on a connection of its own (a missing SQLite file is
// created): creates the missing tables; when the marker item is missing,
// loads the company's tables, unless the database holds inventory classes;
// then writes the rules as saving them does and puts the users' codes.
// Raises as CreateSchema, the rule documents' reading and the database do,
// changing nothing.
CompanyLoad LoadCompany(const std::string& connection_string, const Company& company);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_COMPANY_DATA_H_
