#include "maintenance/schema.h"

#include <functional>
#include <utility>
#include <vector>

#include "store/connection.h"
#include "store/database_error.h"
#include "store/rule_queries.h"
#include "store/schema.h"
#include "store/setup_queries.h"

namespace quillet::maintenance {

void CreateSchema(const std::string& connection_string) {
  store::Connection db;
  db.Open(connection_string);
  store::CreateSchema(db);
}

std::optional<MissingTable> FindMissingTable(generation::Reader& reader) {
  store::Connection& db = reader.connection();
  const std::vector<std::pair<const char*, std::function<void()>>> reads = {
      {"SNrulemain", [&] { store::setup::AllRuleHeaders(db); }},
      {"SNrule", [&] { store::generation::OwnerSegments(db, "", "0"); }},
      {"SNContrapose", [&] { store::generation::MappedCode(db, "", ""); }},
      {"SNPrefabricate_lang", [&] { store::setup::DataSourcesOfLocale(db, ""); }},
      {"inventory", [&] { store::generation::ItemClass(db, ""); }},
  };
  for (const auto& [table, read] : reads) {
    try {
      read();
    } catch (const Error& error) {
      if (!store::IsMissingTable(error)) throw;
      return MissingTable{table, error};
    }
  }
  return std::nullopt;
}

}  // namespace quillet::maintenance
