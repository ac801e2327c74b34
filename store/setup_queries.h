// Read-only queries of the rule-setup screen.
#ifndef QUILLET_STORE_SETUP_QUERIES_H_
#define QUILLET_STORE_SETUP_QUERIES_H_

#include <memory>
#include <string>

#include "quillet/recordset.h"
#include "store/connection.h"

// Every query runs on the connection passed and raises the database's error
// (see Connection). Thread safety: that of the connection.
namespace quillet::store::setup {

// Every inventory class, ordered by class code.
std::shared_ptr<RecordSet> InventoryClasses(Connection& db);

// Every column of the data sources (SNPrefabricate_lang) of one locale.
std::shared_ptr<RecordSet> DataSourcesOfLocale(Connection& db, const std::string& locale_id);

// cid, citemname and citemlang of the free items' captions of one locale.
std::shared_ptr<RecordSet> FreeItemCaptions(Connection& db, const std::string& locale_id);

// cinvcode, cinvname and cinvccode of the serial-managed items of exactly one
// class (not of its sub-classes), ordered by item code.
std::shared_ptr<RecordSet> SerialItemsOfClass(Connection& db, const std::string& class_code);

// The locale ids the data sources (SNPrefabricate_lang) are described in,
// in ascending order.
std::shared_ptr<RecordSet> DataSourceLocales(Connection& db);

// Every rule header.
std::shared_ptr<RecordSet> AllRuleHeaders(Connection& db);

// The `lgrade` / `codingrule` column of the GradeDef rows of one archive
// keyword; no rows when the keyword is unknown.
std::shared_ptr<RecordSet> GradeCountOf(Connection& db, const std::string& keyword);
std::shared_ptr<RecordSet> CodingRuleOf(Connection& db, const std::string& keyword);

}  // namespace quillet::store::setup

#endif  // QUILLET_STORE_SETUP_QUERIES_H_
