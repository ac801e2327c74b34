// A bound clsQuillet over a fresh database of each backend, and helpers to
// arrange rows and read tables back as text. Shared by the maintenance,
// mapping and setup tests.
#ifndef QUILLET_TESTS_MAINTENANCE_FIXTURE_H_
#define QUILLET_TESTS_MAINTENANCE_FIXTURE_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/language.h"
#include "quillet/quillet.h"
#include "store/connection.h"
#include "tests/support/backends.h"

namespace quillet::testing {

using Table = std::vector<std::vector<std::string>>;

// A segment as the setup screen's rule document gives it.
struct SegmentSpec {
  SegmentSpec(std::string grade_, std::string type_, std::string format_, std::string width_,
              std::string pad_ = "0", std::string fill_ = "", std::string step_ = "0")
      : grade(std::move(grade_)),
        type(std::move(type_)),
        format(std::move(format_)),
        width(std::move(width_)),
        pad(std::move(pad_)),
        fill(std::move(fill_)),
        step(std::move(step_)) {}

  std::string grade;
  std::string type;
  std::string format;
  std::string width;
  std::string pad;
  std::string fill;
  std::string step;
};

inline std::string EscapeAttribute(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

// <rule cinvname=...><row .../>...</rule>, seven attributes per row.
inline std::shared_ptr<XmlDocument> RuleDocument(const std::string& owner_name,
                                                 const std::vector<SegmentSpec>& segments) {
  std::string text = "<rule cinvname=\"" + EscapeAttribute(owner_name) + "\">";
  for (const SegmentSpec& s : segments) {
    text += "<row igrade=\"" + EscapeAttribute(s.grade) + "\" cdatasrctype=\"" +
            EscapeAttribute(s.type) + "\" cdatasrcformat=\"" + EscapeAttribute(s.format) +
            "\" iformatlength=\"" + EscapeAttribute(s.width) + "\" cpatchsign=\"" +
            EscapeAttribute(s.pad) + "\" creplacesign=\"" + EscapeAttribute(s.fill) +
            "\" isteplength=\"" + EscapeAttribute(s.step) + "\"/>";
  }
  text += "</rule>";
  auto document = std::make_shared<XmlDocument>();
  EXPECT_TRUE(document->loadXML(text)) << text;
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

  void Exec(std::string_view sql, const store::Params& params = {}) {
    db().Execute(store::Sql{sql}, params);
  }

  // Every row of a query, each field as text ("<null>" for null).
  Table Rows(std::string_view sql, const store::Params& params = {}) {
    return Texts(*db().Query(store::Sql{sql}, params));
  }

  static Table Texts(RecordSet& rows) {
    Table table;
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
      std::vector<std::string> row;
      for (std::size_t i = 0; i < rows.columns().size(); ++i) {
        const Variant& field = rows.Field(i);
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
                   const std::string& owner_name = "Owner") {
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
