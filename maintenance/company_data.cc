#include "maintenance/company_data.h"

#include "maintenance/save_rule.h"
#include "store/connection.h"
#include "store/rule_queries.h"
#include "store/schema.h"
#include "store/setup_queries.h"

namespace quillet::maintenance {
namespace {

bool IsEmpty(const std::shared_ptr<RecordSet>& rows) { return rows->Bof() && rows->Eof(); }

void ReplaceTables(store::Connection& db, const std::vector<TableRows>& tables) {
  for (const TableRows& table : tables) store::ReplaceRows(db, table);
}

void WriteRulesAndCodes(store::Connection& db, const Company& company) {
  for (const CompanyRule& rule : company.rules) {
    WriteRuleDocument(db, *rule.document, rule.owner, rule.name);
  }
  for (const UserCode& code : company.codes) {
    store::mapping::PutUserCode(db, code.archive, code.width, code.value, code.code);
  }
}

}  // namespace

void LoadRows(const std::string& connection_string, const std::vector<TableRows>& tables) {
  store::Connection db;
  db.Open(connection_string);
  store::Connection::Transaction transaction(db);
  ReplaceTables(db, tables);
  transaction.Commit();
}

CompanyLoad LoadCompany(const std::string& connection_string, const Company& company) {
  store::Connection db;
  db.Open(connection_string);
  store::Connection::Transaction transaction(db);
  store::CreateTables(db);
  const bool load = IsEmpty(store::generation::ItemClass(db, company.marker_item));
  if (load) {
    if (!IsEmpty(store::setup::InventoryClasses(db))) return CompanyLoad::kOtherData;
    ReplaceTables(db, company.tables);
  }
  WriteRulesAndCodes(db, company);
  transaction.Commit();
  return load ? CompanyLoad::kLoaded : CompanyLoad::kKept;
}

}  // namespace quillet::maintenance
