// The rule-setup screen's read-only queries: its start data, the items of a
// class, the rule headers and the coding grades of a level-coded archive.
// Each raises the database's errors; thread safety: that of the connection.
#ifndef QUILLET_MAPPING_SETUP_DATA_H_
#define QUILLET_MAPPING_SETUP_DATA_H_

#include <cstdint>
#include <memory>
#include <string>

#include "quillet/recordset.h"
#include "store/connection.h"

namespace quillet::setup {

// What the setup screen starts from, for the language of the session.
struct SetupData {
  std::shared_ptr<RecordSet> classes;             // every inventory class, by code
  std::shared_ptr<RecordSet> data_sources;        // the data sources of the locale
  std::shared_ptr<RecordSet> free_item_captions;  // the free items' captions
};

// All three are read before any is returned.
SetupData ReadSetupData(store::Connection& db);

// Every inventory class, by code.
std::shared_ptr<RecordSet> InventoryClasses(store::Connection& db);

// The data sources of one locale, and the free items' captions of one.
std::shared_ptr<RecordSet> DataSourcesOfLocale(store::Connection& db, const std::string& locale);
std::shared_ptr<RecordSet> FreeItemCaptions(store::Connection& db, const std::string& locale);

// The serial-managed items of exactly the class `class_code`, by item code.
std::shared_ptr<RecordSet> SerialItemsOfClass(store::Connection& db, const std::string& class_code);

// Every rule header.
std::shared_ptr<RecordSet> RuleHeaders(store::Connection& db);

// The number of coding grades and the coding rule ("2-2-3") of the archive
// `keyword` (GradeDef). An unknown keyword has no row: both raise the record
// set's "no current record".
int16_t MaxGrade(store::Connection& db, const std::string& keyword);
std::string GradeRule(store::Connection& db, const std::string& keyword);

}  // namespace quillet::setup

#endif  // QUILLET_MAPPING_SETUP_DATA_H_
