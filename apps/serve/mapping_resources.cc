// The short codes of a data source's values: listed a page at a time and
// searched, set one by one, and removed for a whole archive.
#include <httplib.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "apps/catalog.h"
#include "apps/mapping_store.h"
#include "apps/segment_notation.h"
#include "apps/serve/json_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/worker.h"
#include "apps/tool_error.h"
#include "core/number_text.h"

namespace quillet::apps::serve {
namespace {

using nlohmann::json;

constexpr int64_t kDefaultLimit = 100;
constexpr int64_t kMaxLimit = 1000;

int SourceOf(const std::string& name) {
  try {
    return MappedSourceType(name);
  } catch (const ToolUsage& bad) {
    throw BadInput("source", bad.what());
  }
}

int64_t QueryNumber(const httplib::Request& request, const std::string& name, int64_t fallback,
                    int64_t minimum, int64_t maximum) {
  if (!request.has_param(name)) return fallback;
  const std::optional<int64_t> number =
      service::ParseNumber<int64_t>(request.get_param_value(name));
  if (!number || *number < minimum || *number > maximum) {
    throw BadInput(name, name + " must be a whole number from " + std::to_string(minimum) + " to " +
                             std::to_string(maximum));
  }
  return *number;
}

template <typename Action>
auto MissingIsNotFound(Action action) {
  try {
    return action();
  } catch (const ToolFailure& missing) {
    throw NotFound(missing.what());
  }
}

// ?q= keeps the values whose value, caption or code holds it (ASCII letters
// in any case); ?offset= and ?limit= choose the page.
void ListSourceMappings(Exchange& exchange) {
  const int type = SourceOf(exchange.Parameter("source"));
  const httplib::Request& request = exchange.request;
  const std::string query = request.get_param_value("q");
  const int64_t offset = QueryNumber(request, "offset", 0, 0, INT32_MAX);
  const int64_t limit = QueryNumber(request, "limit", kDefaultLimit, 1, kMaxLimit);
  DomainSession& session = exchange.worker.Session();
  const MappingPage read =
      MissingIsNotFound([&] { return ListMappingPage(session, type, query, offset, limit); });
  const MappingList& list = read.list;
  json page = json::array();
  for (const Mapping& mapping : list.mappings) {
    page.push_back({{"value", mapping.value},
                    {"name", mapping.name},
                    {"code", mapping.code},
                    {"set_by_user", mapping.set_by_user}});
  }
  WriteJson(exchange.response, {{"source", SourceName(type)},
                                {"caption", list.source.caption},
                                {"table", list.source.table},
                                {"width", list.width},
                                {"format", list.format},
                                {"total", read.total},
                                {"offset", offset},
                                {"limit", limit},
                                {"mappings", page}});
}

// {"code": "SL"}; an empty code lets the value be fitted to its width again.
void PutMapping(Exchange& exchange) {
  const int type = SourceOf(exchange.Parameter("source"));
  const std::string& value = exchange.Parameter("value");
  const std::string code = RequiredText(BodyObject(exchange.request.body, {"code"}), "code");
  DomainSession& session = exchange.worker.Session();
  const Mapping before =
      MissingIsNotFound([&] { return SetMappingCode(session, type, value, code).before; });
  WriteJson(exchange.response, {{"source", SourceName(type)},
                                {"value", value},
                                {"name", before.name},
                                {"code", code},
                                {"previous_code", before.code}});
}

// The archive by a data source's name or by its table; every data source
// whose mappings live in that table loses them.
void DeleteArchiveMappings(Exchange& exchange) {
  const std::string& archive = exchange.Parameter("source");
  Catalog catalog(exchange.worker.Session());
  std::vector<std::pair<std::string_view, std::string>> tables;  // source, its table
  for (const std::string_view name : SourceNames()) {
    const int type = *SourceType(name);
    if (!IsMappedSource(type)) continue;
    if (std::optional<DataSourceRow> row = catalog.DataSource(type)) {
      tables.emplace_back(name, row->table);
    }
  }
  const auto named = std::find_if(tables.begin(), tables.end(), [&](const auto& entry) {
    return entry.first == archive || entry.second == archive;
  });
  if (named == tables.end()) {
    throw NotFound("no data source keeps its mappings in an archive " + archive);
  }
  const std::string table = named->second;
  json sources = json::array();
  for (const auto& [name, its_table] : tables) {
    if (its_table == table) sources.push_back(name);
  }
  std::string ignored;
  exchange.worker.Session().component().Resetprefixsrv(table, ignored);
  WriteJson(exchange.response, {{"archive", table}, {"sources", sources}});
}

}  // namespace

void AddMappingRoutes(Router& router) {
  router.Add({"GET", "/v1/mappings/{source}", Access::kRead, ListSourceMappings});
  router.Add({"PUT", "/v1/mappings/{source}/{value}", Access::kWrite, PutMapping});
  router.Add({"DELETE", "/v1/mappings/{source}", Access::kWrite, DeleteArchiveMappings});
}

}  // namespace quillet::apps::serve
