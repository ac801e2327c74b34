#include "store/keyed_rows.h"

#include <string>

namespace quillet::store {
namespace {

std::string Placeholder(std::size_t position) { return ":" + std::to_string(position); }

std::string DeleteSql(const KeyedRows& table) {
  std::string sql = "DELETE FROM " + std::string(table.table) + " WHERE ";
  for (std::size_t i = 0; i < table.key_count; ++i) {
    if (i > 0) sql += " AND ";
    sql += std::string(table.columns[i]) + " = " + Placeholder(i + 1);
  }
  return sql;
}

std::string InsertSql(const KeyedRows& table) {
  std::string names;
  std::string values;
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (i > 0) {
      names += ", ";
      values += ", ";
    }
    names += table.columns[i];
    values += Placeholder(i + 1);
  }
  return "INSERT INTO " + std::string(table.table) + " (" + names + ") VALUES (" + values + ")";
}

}  // namespace

void ReplaceRows(Connection& db, const KeyedRows& table) {
  const std::string delete_sql = DeleteSql(table);
  const std::string insert_sql = InsertSql(table);
  for (const Params& row : table.rows) {
    db.Execute(Sql{delete_sql},
               Params(row.begin(), row.begin() + static_cast<long>(table.key_count)));
    db.Execute(Sql{insert_sql}, row);
  }
}

}  // namespace quillet::store
