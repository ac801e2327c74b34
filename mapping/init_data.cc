// Getinitdata: the class tree, data sources and free-item captions.
#include "core/mod_language.h"
#include "mapping/setup_methods.h"
#include "store/setup_queries.h"

namespace quillet::setup {

void Getinitdata(store::Connection& db, Variant& rssetupTree, Variant& RstPrefix,
                 Variant& Rstfreename) {
  // All three queries run before any output is set.
  const std::string& locale = modLanguage::LocaleId();
  const auto tree = store::setup::InventoryClasses(db);
  const auto sources = store::setup::DataSourcesOfLocale(db, locale);
  const auto free_items = store::setup::FreeItemCaptions(db, locale);
  rssetupTree = Variant(tree->Clone());
  RstPrefix = Variant(sources->Clone());
  Rstfreename = Variant(free_items->Clone());
}

}  // namespace quillet::setup
