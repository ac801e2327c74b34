#include "store/schema.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/ascii_case.h"
#include "quillet/error.h"
#include "store/schema_tables.h"

namespace quillet::store {
namespace {

std::string JoinNames(const std::vector<std::string_view>& names) {
  std::string joined;
  for (std::string_view name : names) {
    if (!joined.empty()) joined += ", ";
    joined += name;
  }
  return joined;
}

// SQLite keeps whatever a column is given; integer columns accept only what
// converts to a whole number (a text such as '1 ' does), as PostgreSQL's do.
std::string ColumnSql(const ColumnDef& column, Dialect dialect) {
  std::string sql(column.name);
  // SQLite's BIGINT has integer affinity like INTEGER, and is read back as 64 bits.
  if (column.kind == ColumnKind::kText) {
    sql += " TEXT";
  } else {
    sql += dialect == Dialect::kSqlite ? " BIGINT" : " INTEGER";
  }
  if (column.not_null) sql += " NOT NULL";
  if (!column.default_value.empty()) {
    sql += " DEFAULT ";
    sql += column.default_value;
  }
  if (column.kind == ColumnKind::kInteger && dialect == Dialect::kSqlite) {
    const std::string name(column.name);
    sql += " CONSTRAINT \"" + name + " must be a whole number\" CHECK (typeof(" + name +
           ") IN ('integer', 'null'))";
  }
  return sql;
}

std::string CreateTableSql(const TableDef& table, Dialect dialect) {
  std::string sql = "CREATE TABLE IF NOT EXISTS " + std::string(table.name) + " (";
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += ColumnSql(table.columns[i], dialect);
  }
  if (!table.primary_key.empty()) sql += ", PRIMARY KEY (" + JoinNames(table.primary_key) + ")";
  return sql + ")";
}

std::string CreateIndexSql(const IndexDef& index) {
  return std::string(index.unique ? "CREATE UNIQUE INDEX" : "CREATE INDEX") + " IF NOT EXISTS " +
         std::string(index.name) + " ON " + std::string(index.table) + " (" +
         JoinNames(index.columns) + ")";
}

// A database made before rule names had a unique key may hold a name under
// several owners. Which rule should keep it is the user's choice, so the
// upgrade stops and names them.
void RequireRuleNamesOfOneOwner(Connection& db) {
  static constexpr Sql kSharedNames{
      "select rulename from SNrulemain where rulename is not null"
      " group by rulename having count(*)>1 order by rulename"};
  const auto shared = db.Query(kSharedNames);
  if (shared->RecordCount() == 0) return;
  std::string names;
  for (shared->MoveFirst(); !shared->Eof(); shared->MoveNext()) {
    names += (names.empty() ? "'" : ", '") + shared->Field(0).ToText() + "'";
  }
  throw Error(errc::kSharedRuleName,
              "The rule names " + names +
                  " are each carried by the rules of more than one owner: save all but one of "
                  "those rules under a name of its own, then create the tables again");
}

// A database made before mapping rows had a unique key may hold a value of an
// archive table more than once, from fills that ran at the same time. One row
// stays: a code set by the user before a generated one.
void RemoveDuplicateMappings(Connection& db) {
  // SQLite's write transaction excludes other writers already; PostgreSQL's
  // lock keeps fills from adding rows between the delete and the new key.
  static constexpr Sql kLock{"LOCK TABLE SNContrapose IN SHARE ROW EXCLUSIVE MODE"};
  static constexpr Sql kDelete{
      "delete from SNContrapose where rowid in (select r from (select rowid as r,"
      " row_number() over (partition by cContent, cseedcode"
      " order by coalesce(buserchange, 0) desc, rowid) as n from SNContrapose"
      " where cContent is not null and cseedcode is not null) where n > 1)",
      "delete from SNContrapose where ctid in (select r from (select ctid as r,"
      " row_number() over (partition by cContent, cseedcode"
      " order by coalesce(buserchange, 0) desc, ctid) as n from SNContrapose"
      " where cContent is not null and cseedcode is not null) as d where n > 1)"};
  if (db.dialect() == Dialect::kPostgresql) db.Execute(kLock);
  db.Execute(kDelete);
}

// The columns a table of an older database lacks: added since, each
// nullable or with a default, so that rows already there stay as they were.
std::vector<const ColumnDef*> MissingColumns(Connection& db, const TableDef& table) {
  static constexpr Sql kColumns{"select name from pragma_table_info(:1)",
                                "select column_name from information_schema.columns"
                                " where table_schema=current_schema() and table_name=lower(:1)"};
  std::vector<std::string> present;
  const auto rows = db.Query(kColumns, {std::string(table.name)});
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    present.push_back(service::AsciiLowered(rows->Field(0).ToText()));
  }
  std::vector<const ColumnDef*> missing;
  for (const ColumnDef& column : table.columns) {
    const bool addable = !column.not_null || !column.default_value.empty();
    if (addable && std::find(present.begin(), present.end(), service::AsciiLowered(column.name)) ==
                       present.end()) {
      missing.push_back(&column);
    }
  }
  return missing;
}

void AddMissingColumns(Connection& db, const TableDef& table) {
  for (const ColumnDef* column : MissingColumns(db, table)) {
    db.Execute(Sql{"ALTER TABLE " + std::string(table.name) + " ADD COLUMN " +
                   ColumnSql(*column, db.dialect())});
  }
}

}  // namespace

void CreateSchema(Connection& db) {
  Connection::Transaction transaction(db);
  CreateTables(db);
  transaction.Commit();
}

void CreateTables(Connection& db) {
  const Dialect dialect = db.dialect();
  for (const TableDef& table : Tables()) {
    db.Execute(Sql{CreateTableSql(table, dialect)});
    AddMissingColumns(db, table);
  }
  RequireRuleNamesOfOneOwner(db);
  RemoveDuplicateMappings(db);
  for (std::string_view replaced : ReplacedIndexes()) {
    db.Execute(Sql{"DROP INDEX IF EXISTS " + std::string(replaced)});
  }
  for (const IndexDef& index : Indexes()) db.Execute(Sql{CreateIndexSql(index)});
}

}  // namespace quillet::store
