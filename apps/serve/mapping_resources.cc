// The short codes of a data source's values: listed a page at a time and
// searched, set one by one, and removed for a whole archive.
#include <httplib.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "apps/serve/json_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/worker.h"
#include "core/number_text.h"
#include "core/segment_notation.h"

namespace quillet::serve {
namespace {

using nlohmann::json;

constexpr int64_t kDefaultLimit = 100;
constexpr int64_t kMaxLimit = 1000;

// The data source of a name that has mappings. Raises a 400 Problem.
DataSource SourceOf(const std::string& name) {
  const std::optional<DataSource> source = DataSourceOf(name);
  if (source && notation::IsMappedSource(static_cast<int>(*source))) return *source;
  throw BadInput("source",
                 (source ? name + " has no mappings" : "unknown data source '" + name + "'") +
                     "; data sources with mappings: department, workcenter, warehouse, "
                     "clerk, supplier, class, item, free1 ... free10");
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

// ?q= keeps the values whose value, caption or code holds it (ASCII letters
// in any case); ?offset= and ?limit= choose the page.
void ListSourceMappings(Exchange& exchange) {
  const DataSource source = SourceOf(exchange.Parameter("source"));
  const httplib::Request& request = exchange.request;
  const MappingQuery query{request.get_param_value("q"),
                           QueryNumber(request, "offset", 0, 0, INT32_MAX),
                           QueryNumber(request, "limit", kDefaultLimit, 1, kMaxLimit)};
  const MappingPage read = exchange.worker.Domain().Mappings(source, query);
  json page = json::array();
  for (const Mapping& mapping : read.mappings) {
    page.push_back({{"value", mapping.value},
                    {"name", mapping.caption},
                    {"code", mapping.code},
                    {"set_by_user", mapping.set_by_user}});
  }
  WriteJson(exchange.response, {{"source", DataSourceName(source)},
                                {"caption", read.source.caption},
                                {"table", read.source.table},
                                {"width", read.width},
                                {"format", read.format},
                                {"total", read.total},
                                {"offset", query.offset},
                                {"limit", *query.limit},
                                {"mappings", page}});
}

// {"code": "SL"}; an empty code lets the value be fitted to its width again.
void PutMapping(Exchange& exchange) {
  const DataSource source = SourceOf(exchange.Parameter("source"));
  const std::string& value = exchange.Parameter("value");
  const std::string code = RequiredText(BodyObject(exchange.request.body, {"code"}), "code");
  const Mapping before = exchange.worker.Domain().SetMappingCode({source, value, code}).before;
  WriteJson(exchange.response, {{"source", DataSourceName(source)},
                                {"value", value},
                                {"name", before.caption},
                                {"code", code},
                                {"previous_code", before.code}});
}

// The archive by a data source's name or by its table; every data source
// whose mappings live in that table loses them.
void DeleteArchiveMappings(Exchange& exchange) {
  const std::string& archive = exchange.Parameter("source");
  std::vector<std::pair<DataSource, std::string>> tables;  // source, its table
  for (const DataSourceInfo& info : exchange.worker.Domain().DataSources()) {
    if (notation::IsMappedSource(static_cast<int>(info.source))) {
      tables.emplace_back(info.source, info.table);
    }
  }
  const auto named = std::find_if(tables.begin(), tables.end(), [&](const auto& entry) {
    return DataSourceName(entry.first) == archive || entry.second == archive;
  });
  if (named == tables.end()) {
    throw NotFound("no data source keeps its mappings in an archive " + archive);
  }
  const std::string table = exchange.worker.Domain().ResetMappings(named->first);
  json sources = json::array();
  for (const auto& [source, its_table] : tables) {
    if (its_table == table) sources.push_back(DataSourceName(source));
  }
  WriteJson(exchange.response, {{"archive", table}, {"sources", sources}});
}

}  // namespace

void AddMappingRoutes(Router& router) {
  router.Add({"GET", "/v1/mappings/{source}", Access::kRead, ListSourceMappings});
  router.Add({"PUT", "/v1/mappings/{source}/{value}", Access::kWrite, PutMapping});
  router.Add({"DELETE", "/v1/mappings/{source}", Access::kWrite, DeleteArchiveMappings});
}

}  // namespace quillet::serve
