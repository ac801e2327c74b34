#include "store/rule_file_queries.h"

namespace quillet::store::rule_file {
namespace {

std::string TextField(const Variant& field) { return field.IsNull() ? "" : field.ToText(); }

}  // namespace

std::vector<std::pair<std::string, std::string>> RuleOwners(Connection& db) {
  static constexpr Sql kSql{"select cinvcode,cinvtype from SNrulemain"};
  const auto rows = db.Query(kSql);
  std::vector<std::pair<std::string, std::string>> owners;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    owners.emplace_back(TextField(rows->Field("cinvcode")), TextField(rows->Field("cinvtype")));
  }
  return owners;
}

std::vector<UserCodeRow> UserCodes(Connection& db) {
  static constexpr Sql kSql{
      "select cdatasrccode,cContent,iContentType,isize,cseedcode,ccode from SNContrapose"
      " where buserchange=1 order by cContent,cseedcode"};
  const auto rows = db.Query(kSql);
  std::vector<UserCodeRow> codes;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    codes.push_back({TextField(rows->Field("cdatasrccode")), TextField(rows->Field("cContent")),
                     TextField(rows->Field("iContentType")), TextField(rows->Field("isize")),
                     TextField(rows->Field("cseedcode")), TextField(rows->Field("ccode"))});
  }
  return codes;
}

}  // namespace quillet::store::rule_file
