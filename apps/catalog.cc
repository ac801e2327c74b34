#include "apps/catalog.h"

#include <algorithm>

#include "apps/class_listing.h"
#include "apps/tool_error.h"
#include "core/field_text.h"
#include "generation/item_lookup.h"
#include "generation/rule_search.h"
#include "quillet/error.h"
#include "quillet/recordset.h"

namespace quillet::apps {
namespace {

std::shared_ptr<RecordSet> RecordSetOf(const Variant& value) {
  std::shared_ptr<RecordSet> rows = value.record_set();
  if (!rows) throw ToolFailure("the component answered without a record set");
  return rows;
}

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

}  // namespace

Catalog::Catalog(DomainSession& session) : session_(session) {}

std::optional<ItemFacts> Catalog::Item(const std::string& code) {
  const std::optional<generation::ItemClass> item_class =
      generation::ClassOfItem(session_.reader(), code);
  if (!item_class) return std::nullopt;
  ItemFacts facts;
  facts.class_code = item_class->code;
  facts.class_level = item_class->level;
  if (!facts.class_code.empty()) {
    Variant items;
    std::string ignored;
    session_.component().GetInvNodesrv(facts.class_code, items, ignored);
    const auto serial_items = RecordSetOf(items);
    for (serial_items->MoveFirst(); !serial_items->Eof(); serial_items->MoveNext()) {
      if (FieldTextOrEmpty(serial_items->Field("cinvcode")) == code) {
        facts.name = FieldTextOrEmpty(serial_items->Field("cinvname"));
      }
    }
  }
  return facts;
}

void Catalog::ReadSetupData() {
  if (class_names_) return;
  Variant tree;
  Variant sources;
  Variant free_names;
  std::string ignored;
  session_.component().Getinitdata(tree, sources, free_names, ignored);
  class_names_.emplace();
  const auto classes = RecordSetOf(tree);
  for (classes->MoveFirst(); !classes->Eof(); classes->MoveNext()) {
    (*class_names_)[FieldTextOrEmpty(classes->Field("cInvCCode"))] =
        FieldTextOrEmpty(classes->Field("cInvCName"));
  }
  const auto rows = RecordSetOf(sources);
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    data_sources_.push_back({FieldTextOrEmpty(rows->Field("cdatasrccode")),
                             FieldTextOrEmpty(rows->Field("cdatasrccaption")),
                             FieldTextOrEmpty(rows->Field("cContent")),
                             FieldTextOrEmpty(rows->Field("iContentType")),
                             FieldTextOrEmpty(rows->Field("cArchFieldName")),
                             FieldTextOrEmpty(rows->Field("cArchclsFieldName"))});
  }
}

std::optional<std::string> Catalog::ClassName(const std::string& code) {
  ReadSetupData();
  const auto found = class_names_->find(code);
  if (found == class_names_->end()) return std::nullopt;
  return found->second;
}

void Catalog::RequireKnown(const RuleOwner& owner) {
  if (owner.kind == OwnerKind::kItem && !Item(owner.code)) {
    throw ToolFailure("there is no item " + owner.code + " in the inventory");
  }
  if (owner.kind == OwnerKind::kClass && !ClassName(owner.code)) {
    throw ToolFailure("there is no inventory class " + owner.code);
  }
}

std::string Catalog::OwnerName(const RuleOwner& owner) {
  if (owner.kind == OwnerKind::kItem) {
    const std::optional<ItemFacts> item = Item(owner.code);
    return item ? item->name : "";
  }
  if (owner.kind == OwnerKind::kClass) return ClassName(owner.code).value_or("");
  return "";
}

bool Catalog::HasRule(const RuleOwner& owner) { return ReadRuleNames(session_).contains(owner); }

void Catalog::RequireRule(const RuleOwner& owner) {
  if (HasRule(owner)) return;
  RequireKnown(owner);
  std::string message = FormatOwner(owner) + " has no rule of its own";
  if (owner.kind == OwnerKind::kItem) {
    const Resolution resolution = Resolve(owner.code);
    if (resolution.found) {
      message += "; its serial numbers follow the rule of " + FormatOwner(*resolution.found) +
                 " (see 'quillet preview " + owner.code + "')";
    }
  }
  throw ToolFailure(message);
}

std::vector<RuleOwner> Catalog::RuleOwners() {
  std::vector<RuleOwner> owners;
  for (const auto& [owner, name] : ReadRuleNames(session_)) owners.push_back(owner);
  std::stable_sort(owners.begin(), owners.end(), [](const RuleOwner& a, const RuleOwner& b) {
    return Rank(a.kind) != Rank(b.kind) ? Rank(a.kind) < Rank(b.kind) : a.code < b.code;
  });
  return owners;
}

Resolution Catalog::Resolve(const std::string& item_code) {
  return generation::SearchRule(session_.reader().connection(), item_code);
}

std::optional<DataSourceRow> Catalog::DataSource(int type) {
  ReadSetupData();
  const std::string code = std::to_string(type);
  for (const DataSourceRow& row : data_sources_) {
    if (row.code == code) return row;
  }
  return std::nullopt;
}

bool Catalog::DepartmentExists(const std::string& code) {
  return generation::DepartmentExists(session_.reader(), code);
}

}  // namespace quillet::apps
