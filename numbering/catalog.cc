#include "numbering/catalog.h"

#include <algorithm>

#include "core/field_text.h"
#include "core/number_text.h"
#include "generation/item_lookup.h"
#include "generation/rule_search.h"
#include "mapping/setup_data.h"
#include "store/database_error.h"

namespace quillet::numbering {
namespace {

// Resolution ranks: items first, then classes, then all.
int Rank(OwnerKind kind) {
  switch (kind) {
    case OwnerKind::kItem:
      return 0;
    case OwnerKind::kClass:
      return 1;
    default:
      return 2;
  }
}

std::string Text(const RecordSet& rows, std::string_view column) {
  return FieldTextOrEmpty(rows.Field(column));
}

int32_t NumberOrZero(const Variant& value) { return value.IsNull() ? 0 : value.ToInt32(); }

// The levels of a level-coded archive; none without a coding rule.
std::optional<int32_t> LevelsOf(Session& session, const std::string& archive) {
  try {
    return setup::MaxGrade(session.db(), archive);
  } catch (const Error& error) {
    if (store::IsUnavailable(error)) throw;
    return std::nullopt;
  }
}

}  // namespace

std::optional<Item> ItemOf(Session& session, const std::string& code) {
  const std::optional<generation::ItemClass> item_class =
      generation::ClassOfItem(session.reader(), code);
  if (!item_class) return std::nullopt;
  Item item{code, "", item_class->code, item_class->level, false};
  if (item.class_code.empty()) return item;
  const auto serial_items = setup::SerialItemsOfClass(session.db(), item.class_code);
  for (serial_items->MoveFirst(); !serial_items->Eof(); serial_items->MoveNext()) {
    if (Text(*serial_items, "cinvcode") == code) {
      item.name = Text(*serial_items, "cinvname");
      item.serial_managed = true;
    }
  }
  return item;
}

std::vector<InventoryClass> ClassesOf(Session& session) {
  const auto rows = setup::InventoryClasses(session.db());
  std::vector<InventoryClass> classes;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    classes.push_back({Text(*rows, "cInvCCode"), Text(*rows, "cInvCName"),
                       NumberOrZero(rows->Field("iInvCGrade"))});
  }
  return classes;
}

std::optional<std::string> ClassName(Session& session, const std::string& code) {
  for (const InventoryClass& row : ClassesOf(session)) {
    if (row.code == code) return row.name;
  }
  return std::nullopt;
}

void RequireKnownOwner(Session& session, const RuleOwner& owner) {
  if (owner.kind == OwnerKind::kItem && !ItemOf(session, owner.code)) {
    RaiseNotFound("there is no item " + owner.code + " in the inventory", errc::kUnknownOwner);
  }
  if (owner.kind == OwnerKind::kClass && !ClassName(session, owner.code)) {
    RaiseNotFound("there is no inventory class " + owner.code, errc::kUnknownOwner);
  }
}

std::string OwnerName(Session& session, const RuleOwner& owner) {
  if (owner.kind == OwnerKind::kItem) {
    const std::optional<Item> item = ItemOf(session, owner.code);
    return item ? item->name : "";
  }
  if (owner.kind == OwnerKind::kClass) return ClassName(session, owner.code).value_or("");
  return "";
}

std::vector<RuleHeader> RuleHeaders(Session& session) {
  const auto rows = setup::RuleHeaders(session.db());
  std::vector<RuleHeader> headers;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    headers.push_back(
        {RuleOwner::FromNumber(Text(*rows, "cinvcode"), rows->Field("cinvtype").ToInt16()),
         Text(*rows, "rulename")});
  }
  std::stable_sort(headers.begin(), headers.end(), [](const RuleHeader& a, const RuleHeader& b) {
    const int rank_a = Rank(a.owner.kind);
    const int rank_b = Rank(b.owner.kind);
    return rank_a != rank_b ? rank_a < rank_b : a.owner.code < b.owner.code;
  });
  return headers;
}

bool HasRule(Session& session, const RuleOwner& owner) {
  for (const RuleHeader& header : RuleHeaders(session)) {
    if (header.owner == owner) return true;
  }
  return false;
}

void RequireRule(Session& session, const RuleOwner& owner) {
  if (HasRule(session, owner)) return;
  RequireKnownOwner(session, owner);
  std::string message = FormatOwner(owner) + " has no rule of its own";
  if (owner.kind == OwnerKind::kItem) {
    const generation::RuleSearch search = generation::SearchRule(session.db(), owner.code);
    if (search.found)
      message += "; its serial numbers follow the rule of " + FormatOwner(*search.found);
  }
  RaiseNotFound(message, errc::kNoOwnRule);
}

std::vector<DataSourceInfo> DataSourcesOf(Session& session, const std::string& locale) {
  const auto rows =
      setup::DataSourcesOfLocale(session.db(), locale.empty() ? session.options().locale : locale);
  std::vector<DataSourceInfo> sources;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    const std::optional<int32_t> type = service::ParseNumber<int32_t>(Text(*rows, "cdatasrccode"));
    if (!type) continue;
    DataSourceInfo info{static_cast<DataSource>(*type),
                        Text(*rows, "cdatasrccaption"),
                        Text(*rows, "cContent"),
                        Text(*rows, "iContentType"),
                        Text(*rows, "cArchFieldName"),
                        Text(*rows, "cArchclsFieldName"),
                        std::nullopt};
    if (info.source == DataSource::kDepartment || info.source == DataSource::kItemClass) {
      info.levels = LevelsOf(session, info.table);
    }
    sources.push_back(std::move(info));
  }
  return sources;
}

DataSourceInfo RequireDataSource(Session& session, DataSource source) {
  for (DataSourceInfo& info : DataSourcesOf(session)) {
    if (info.source == source) return std::move(info);
  }
  RaiseNotFound("the database describes no data source " + DataSourceName(source) + " for locale " +
                session.options().locale + " (table SNPrefabricate_lang)");
}

}  // namespace quillet::numbering
