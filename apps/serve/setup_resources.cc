// The look-ups of a rule-setup screen: data sources with their captions, the
// class tree, the serial-managed items of a class, one item and the rule it
// follows.
#include <httplib.h>

#include <optional>
#include <string>
#include <vector>

#include "apps/serve/json_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/worker.h"

namespace quillet::serve {
namespace {

using nlohmann::json;

json SourceJson(DataSource source) {
  return {{"source", DataSourceName(source)}, {"type", static_cast<int>(source)}};
}

void Sources(Exchange& exchange) {
  Numbering& domain = exchange.worker.Domain();
  json source_list = json::array();
  for (const DataSourceInfo& info : domain.DataSources()) {
    json source = SourceJson(info.source);
    source.update({{"caption", info.caption},
                   {"table", info.table},
                   {"content_type", info.content_type},
                   {"value_column", info.value_column},
                   {"caption_column", info.caption_column}});
    if (info.source == DataSource::kDepartment || info.source == DataSource::kItemClass) {
      source["levels"] = info.levels ? json(*info.levels) : json(nullptr);
    }
    source_list.push_back(std::move(source));
  }
  json free_list = json::array();
  for (const FreeItemCaption& caption : domain.FreeItemCaptions()) {
    json item = SourceJson(caption.source);
    item["caption"] = caption.caption;
    free_list.push_back(std::move(item));
  }
  WriteJson(
      exchange.response,
      {{"locale", exchange.worker.locale()}, {"sources", source_list}, {"free_items", free_list}});
}

// The tree in code order: a class's parent is the nearest class before it
// whose code begins its own.
void Classes(Exchange& exchange) {
  json classes = json::array();
  std::vector<std::string> ancestors;
  for (const InventoryClass& row : exchange.worker.Domain().Classes()) {
    while (!ancestors.empty() && !row.code.starts_with(ancestors.back())) ancestors.pop_back();
    classes.push_back({{"code", row.code},
                       {"name", row.name},
                       {"level", row.level},
                       {"parent", ancestors.empty() ? json(nullptr) : json(ancestors.back())}});
    ancestors.push_back(row.code);
  }
  WriteJson(exchange.response, {{"classes", classes}});
}

void ClassItems(Exchange& exchange) {
  const std::string& code = exchange.Parameter("code");
  json list = json::array();
  for (const Item& item : exchange.worker.Domain().SerialItems(code)) {
    list.push_back({{"code", item.code}, {"name", item.name}});
  }
  WriteJson(exchange.response, {{"class", code}, {"items", list}});
}

// An item's class and the owner whose rule its serial numbers follow: its
// own, its class's, the nearest ancestor class's, or all's.
void ItemRule(Exchange& exchange) {
  const std::string& code = exchange.Parameter("item");
  Numbering& domain = exchange.worker.Domain();
  const std::optional<Item> item = domain.FindItem(code);
  if (!item) throw NotFound("there is no item " + code + " in the inventory");
  const RuleResolution resolution = domain.ResolveRule(code);
  json checked = json::array();
  for (const RuleOwner& owner : resolution.checked_owners) checked.push_back(FormatOwner(owner));
  WriteJson(exchange.response,
            {{"item", code},
             {"name", item->name},
             {"class", item->class_code},
             {"serial", item->serial_managed},
             {"owner", resolution.owner ? json(FormatOwner(*resolution.owner)) : json(nullptr)},
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

}  // namespace quillet::serve
