// The look-ups of a rule-setup screen: data sources with their captions, the
// class tree, the serial-managed items of a class, one item and the rule it
// follows.
#include <httplib.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/catalog.h"
#include "apps/segment_notation.h"
#include "apps/serve/json_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/worker.h"
#include "core/field_text.h"
#include "core/number_text.h"
#include "quillet/error.h"
#include "quillet/recordset.h"

namespace quillet::apps::serve {
namespace {

using nlohmann::json;

std::shared_ptr<RecordSet> Rows(const Variant& value) {
  std::shared_ptr<RecordSet> rows = value.record_set();
  if (!rows) throw Problem(500, "the component answered without a record set");
  rows->MoveFirst();
  return rows;
}

std::string Text(const RecordSet& rows, std::string_view column) {
  return FieldTextOrEmpty(rows.Field(column));
}

// A data source's name and type code from its code as stored ("2").
json SourceOf(const std::string& code) {
  const std::optional<int64_t> type = service::ParseNumber<int64_t>(code);
  if (!type) return {{"source", code}, {"type", nullptr}};
  return {{"source", SourceName(static_cast<int>(*type))}, {"type", *type}};
}

// The levels of a level-coded archive (department, inventoryclass); null
// when it has no coding rule.
json LevelsOf(clsQuillet& component, const std::string& archive) {
  int16_t levels = 0;
  std::string ignored;
  try {
    component.GetmaxGrade(levels, archive, ignored);
  } catch (const Error& error) {
    if (IsUnavailable(error.number())) throw;
    return nullptr;
  }
  return levels;
}

void Sources(Exchange& exchange) {
  Variant tree;
  Variant sources;
  Variant free_items;
  std::string ignored;
  exchange.worker.Session().component().Getinitdata(tree, sources, free_items, ignored);
  json source_list = json::array();
  for (auto rows = Rows(sources); !rows->Eof(); rows->MoveNext()) {
    json source = SourceOf(Text(*rows, "cdatasrccode"));
    source.update({{"caption", Text(*rows, "cdatasrccaption")},
                   {"table", Text(*rows, "cContent")},
                   {"content_type", Text(*rows, "iContentType")},
                   {"value_column", Text(*rows, "cArchFieldName")},
                   {"caption_column", Text(*rows, "cArchclsFieldName")}});
    const json& type = source["type"];
    if (type == source::kDepartment || type == source::kClass) {
      source["levels"] = LevelsOf(exchange.worker.Session().component(), source["table"]);
    }
    source_list.push_back(std::move(source));
  }
  json free_list = json::array();
  for (auto rows = Rows(free_items); !rows->Eof(); rows->MoveNext()) {
    json item = SourceOf(Text(*rows, "cid"));
    item["caption"] = Text(*rows, "citemname");
    free_list.push_back(std::move(item));
  }
  WriteJson(
      exchange.response,
      {{"locale", exchange.worker.locale()}, {"sources", source_list}, {"free_items", free_list}});
}

// The tree in code order: a class's parent is the nearest class before it
// whose code begins its own.
void Classes(Exchange& exchange) {
  Variant tree;
  Variant sources;
  Variant free_items;
  std::string ignored;
  exchange.worker.Session().component().Getinitdata(tree, sources, free_items, ignored);
  json classes = json::array();
  std::vector<std::string> ancestors;
  for (auto rows = Rows(tree); !rows->Eof(); rows->MoveNext()) {
    const std::string code = Text(*rows, "cInvCCode");
    while (!ancestors.empty() && !code.starts_with(ancestors.back())) ancestors.pop_back();
    const std::optional<int64_t> level = service::ParseNumber<int64_t>(Text(*rows, "iInvCGrade"));
    classes.push_back({{"code", code},
                       {"name", Text(*rows, "cInvCName")},
                       {"level", level ? json(*level) : json(nullptr)},
                       {"parent", ancestors.empty() ? json(nullptr) : json(ancestors.back())}});
    ancestors.push_back(code);
  }
  WriteJson(exchange.response, {{"classes", classes}});
}

void ClassItems(Exchange& exchange) {
  const std::string& code = exchange.Parameter("code");
  DomainSession& session = exchange.worker.Session();
  if (!Catalog(session).ClassName(code)) throw NotFound("there is no inventory class " + code);
  Variant items;
  std::string ignored;
  session.component().GetInvNodesrv(code, items, ignored);
  json list = json::array();
  for (auto rows = Rows(items); !rows->Eof(); rows->MoveNext()) {
    list.push_back({{"code", Text(*rows, "cinvcode")}, {"name", Text(*rows, "cinvname")}});
  }
  WriteJson(exchange.response, {{"class", code}, {"items", list}});
}

// An item's class and the owner whose rule its serial numbers follow: its
// own, its class's, the nearest ancestor class's, or all's.
void ItemRule(Exchange& exchange) {
  const std::string& code = exchange.Parameter("item");
  Catalog catalog(exchange.worker.Session());
  const std::optional<ItemFacts> item = catalog.Item(code);
  if (!item) throw NotFound("there is no item " + code + " in the inventory");
  const Resolution resolution = catalog.Resolve(code);
  json checked = json::array();
  for (const RuleOwner& owner : resolution.checked) checked.push_back(FormatOwner(owner));
  WriteJson(exchange.response,
            {{"item", code},
             {"name", item->name},
             {"class", item->class_code},
             {"serial", !item->name.empty()},
             {"owner", resolution.found ? json(FormatOwner(*resolution.found)) : json(nullptr)},
             {"checked", checked},
             {"stopped", resolution.stopped ? json(*resolution.stopped) : json(nullptr)}});
}

}  // namespace

void AddSetupRoutes(Router& router) {
  router.Add({"GET", "/v1/sources", Access::kRead, Sources});
  router.Add({"GET", "/v1/classes", Access::kRead, Classes});
  router.Add({"GET", "/v1/classes/{code}/items", Access::kRead, ClassItems});
  router.Add({"GET", "/v1/items/{item}", Access::kRead, ItemRule});
}

}  // namespace quillet::apps::serve
