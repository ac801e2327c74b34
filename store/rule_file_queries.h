// Statements of rule files: the owners with rules, and the mapping codes
// users set, as an export reads them.
#ifndef QUILLET_STORE_RULE_FILE_QUERIES_H_
#define QUILLET_STORE_RULE_FILE_QUERIES_H_

#include <string>
#include <utility>
#include <vector>

#include "store/connection.h"

// Every operation binds its values as parameters and raises the database's
// error. Thread safety: that of the connection.
namespace quillet::store::rule_file {

// Every rule header's owner code and type (decimal text).
std::vector<std::pair<std::string, std::string>> RuleOwners(Connection& db);

// One mapping row a user set.
struct UserCodeRow {
  std::string source_code;   // cdatasrccode
  std::string table;         // cContent
  std::string content_type;  // iContentType
  std::string width;         // isize
  std::string value;         // cseedcode
  std::string code;          // ccode
};

// Every mapping row marked as the user's, by table and value.
std::vector<UserCodeRow> UserCodes(Connection& db);

}  // namespace quillet::store::rule_file

#endif  // QUILLET_STORE_RULE_FILE_QUERIES_H_
