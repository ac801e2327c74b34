#include "mapping/setup_data.h"

#include "core/mod_language.h"
#include "store/setup_queries.h"

namespace quillet::setup {

SetupData ReadSetupData(store::Connection& db) {
  const std::string& locale = modLanguage::LocaleId();
  const auto tree = store::setup::InventoryClasses(db);
  const auto sources = store::setup::DataSourcesOfLocale(db, locale);
  const auto free_items = store::setup::FreeItemCaptions(db, locale);
  return {tree->Clone(), sources->Clone(), free_items->Clone()};
}

std::shared_ptr<RecordSet> InventoryClasses(store::Connection& db) {
  return store::setup::InventoryClasses(db);
}

std::shared_ptr<RecordSet> DataSourcesOfLocale(store::Connection& db, const std::string& locale) {
  return store::setup::DataSourcesOfLocale(db, locale);
}

std::shared_ptr<RecordSet> FreeItemCaptions(store::Connection& db, const std::string& locale) {
  return store::setup::FreeItemCaptions(db, locale);
}

std::shared_ptr<RecordSet> SerialItemsOfClass(store::Connection& db,
                                              const std::string& class_code) {
  return store::setup::SerialItemsOfClass(db, class_code)->Clone();
}

std::shared_ptr<RecordSet> RuleHeaders(store::Connection& db) {
  return store::setup::AllRuleHeaders(db)->Clone();
}

int16_t MaxGrade(store::Connection& db, const std::string& keyword) {
  const auto rows = store::setup::GradeCountOf(db, keyword);
  rows->MoveFirst();
  return rows->Field(0).ToInt16();
}

std::string GradeRule(store::Connection& db, const std::string& keyword) {
  const auto rows = store::setup::CodingRuleOf(db, keyword);
  rows->MoveFirst();
  return modLanguage::GetStrValue(rows->Field(0));
}

}  // namespace quillet::setup
