// A bound clsQuillet over a fresh database of each backend, and helpers to
// arrange rows and read tables back as text. Shared by the maintenance,
// mapping and setup tests.
#ifndef QUILLET_TESTS_MAINTENANCE_FIXTURE_H_
#define QUILLET_TESTS_MAINTENANCE_FIXTURE_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "quillet/language.h"
#include "quillet/quillet.h"
#include "store/connection.h"
#include "tests/support/backends.h"

namespace quillet::testing {

using Table = std::vector<std::vector<std::string>>;

using Attributes = std::vector<std::pair<std::string, std::string>>;

// A document of one element carrying `attributes` in order; values are set as
// attribute text, never parsed as markup.
inline std::shared_ptr<XmlDocument> ElementDocument(const std::string& name,
                                                    const Attributes& attributes) {
  auto document = std::make_shared<XmlDocument>();
  EXPECT_TRUE(document->loadXML("<" + name + "/>"));
  XmlNode root = *document->documentElement();
  for (const auto& [attribute, value] : attributes) root.setAttribute(attribute, value);
  return document;
}

// A segment as the setup screen gives it: grade, type, format, width, and
// optionally pad sign ("0"), fill sign ("") and step ("0").
using SegmentSpec = std::vector<std::string>;

// <rule cinvname=...> with one <row> of seven attributes per segment.
inline std::shared_ptr<XmlDocument> RuleDocument(const std::string& owner_name,
                                                 const std::vector<SegmentSpec>& segments) {
  static const char* const kNames[] = {"igrade",        "cdatasrctype", "cdatasrcformat",
                                       "iformatlength", "cpatchsign",   "creplacesign",
                                       "isteplength"};
  static const char* const kDefaults[] = {"", "", "", "", "0", "", "0"};
  auto document = ElementDocument("rule", {{"cinvname", owner_name}});
  XmlNode root = *document->documentElement();
  for (const SegmentSpec& segment : segments) {
    XmlNode row = root.appendElement("row");
    for (std::size_t i = 0; i < 7; ++i) {
      row.setAttribute(kNames[i], i < segment.size() ? segment[i] : kDefaults[i]);
    }
  }
  return document;
}

class DatabaseTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    SetLanguageComponent(BuiltinLanguage("en-US"));
    database_ = std::make_unique<TestDatabase>(GetParam());
    object_ = database_->NewObject();
  }

  store::Connection& db() { return database_->db(); }
  clsQuillet& object() { return *object_; }
  const std::string& connection_string() const { return database_->connection_string(); }
  // Another bound object, for a thread of its own.
  std::unique_ptr<clsQuillet> NewObject() const { return database_->NewObject(); }

  void Exec(std::string_view sql, const store::Params& params = {}) {
    db().Execute(store::Sql{sql}, params);
  }

  // Every row of a query, each field as text ("<null>" for null).
  Table Rows(std::string_view sql, const store::Params& params = {}) {
    return Texts(*db().Query(store::Sql{sql}, params));
  }

  // Every row of a record set, each field as text; only the columns named
  // when there are names.
  static Table Texts(RecordSet& rows, const std::vector<std::string>& names = {}) {
    Table table;
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
      std::vector<std::string> row;
      for (std::size_t i = 0; i < (names.empty() ? rows.columns().size() : names.size()); ++i) {
        const Variant& field = names.empty() ? rows.Field(i) : rows.Field(names[i]);
        row.push_back(field.IsNull() ? "<null>" : field.ToText());
      }
      table.push_back(std::move(row));
    }
    return table;
  }

  // A data source of the en-US locale.
  void AddSource(const std::string& code, const std::string& table, const std::string& value_column,
                 const std::string& caption_column, const std::string& content_type = "1",
                 const std::string& caption = "Source") {
    Exec(
        "insert into SNPrefabricate_lang (cdatasrccode,localid,cdatasrccaption,cContent,"
        "iContentType,cArchFieldName,cArchclsFieldName) values (:1,'en-US',:2,:3,:4,:5,:6)",
        {code, caption, table, content_type, value_column, caption_column});
  }

  void AddDepartment(const std::string& code, const std::string& name = "Dept") {
    Exec("insert into department (cDepCode,cDepName,iDepGrade) values (:1,:2,1)", {code, name});
  }

  void AddMapping(const std::string& source, const std::string& table, const std::string& seed,
                  const std::string& code, const std::string& user_changed) {
    Exec(
        "insert into SNContrapose (cdatasrccode,cContent,cseedcode,ccode,isize,iContentType,"
        "buserchange) values (:1,:2,:3,:4,'9','1',:5)",
        {source, table, seed, code, user_changed});
  }

  // cseedcode, ccode, isize, buserchange of an archive table's mapping rows.
  Table Mappings(const std::string& table) {
    return Rows(
        "select cseedcode,ccode,isize,buserchange from SNContrapose where cContent=:1"
        " order by cseedcode",
        {table});
  }

  // Saves a rule through the public method; returns sErr, passed in as "-".
  std::string Save(const std::vector<SegmentSpec>& segments, const std::string& owner_code,
                   int16_t owner_type, const std::string& rule_name,
                   const std::string& owner_name = "RuleOwner") {
    std::string err = "-";
    object().SaveSNRulesrv(RuleDocument(owner_name, segments), owner_code, owner_type, rule_name,
                           err);
    return err;
  }

 private:
  std::unique_ptr<TestDatabase> database_;
  std::unique_ptr<clsQuillet> object_;
};

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_MAINTENANCE_FIXTURE_H_
