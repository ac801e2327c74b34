#include "tests/generation/rule_fixture.h"

#include <gtest/gtest.h>

namespace quillet::testing {

void RuleRows::Header(const std::string& owner, const std::string& type, const Text& number) {
  db_.Execute(store::Sql{"insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber)"
                         " values (:1,:2,:3,:4)"},
              {owner, type, "rule " + owner + "/" + type, number});
}

void RuleRows::Segments(const std::string& owner, const std::string& type,
                        const std::vector<SegmentRow>& segments) {
  int grade = 0;
  for (const SegmentRow& s : segments) {
    db_.Execute(store::Sql{"insert into SNrule (crulename,cinvcode,cinvtype,igrade,cdatasrctype,"
                           "cdatasrcformat,iformatlength,cpatchsign,creplacesign,isteplength)"
                           " values (:1,:2,:3,:4,:5,:6,:7,:8,:9,:10)"},
                {"rule " + owner + "/" + type, owner, type, std::to_string(++grade), s.type,
                 s.format, s.width, s.pad, s.fill, s.step});
  }
}

void RuleRows::Item(const std::string& code, const Text& class_code) {
  db_.Execute(store::Sql{"insert into inventory (cinvcode,cinvname,cinvccode,bSerial)"
                         " values (:1,:2,:3,'1')"},
              {code, "item " + code, class_code});
}

void RuleRows::Class(const std::string& code, const Text& grade) {
  db_.Execute(store::Sql{"insert into inventoryclass (cinvccode,cinvcname,iinvcgrade)"
                         " values (:1,:2,:3)"},
              {code, "class " + code, grade});
}

void RuleRows::CodingRule(const std::string& keyword, const Text& rule) {
  db_.Execute(store::Sql{"insert into GradeDef (KEYWORD,lgrade,CODINGRULE) values (:1,:2,:3)"},
              {keyword, rule ? Text(std::to_string(rule->size())) : Text(), rule});
}

void RuleRows::Department(const std::string& code, const std::string& grade) {
  db_.Execute(store::Sql{"insert into department (cdepcode,cdepname,idepgrade) values (:1,:2,:3)"},
              {code, "department " + code, grade});
}

void RuleRows::Mapping(const std::string& source, const std::string& seed, const Text& code) {
  db_.Execute(store::Sql{"insert into SNContrapose (cdatasrccode,cseedcode,ccode,buserchange)"
                         " values (:1,:2,:3,'1')"},
              {source, seed, code});
}

std::string RuleRows::StoredNumber(const std::string& owner, const std::string& type) {
  const auto rs =
      db_.Query(store::Sql{"select cnumber from SNrulemain where cinvcode=:1 and cinvtype=:2"},
                {owner, type});
  return rs->Field("cnumber").ToText();
}

std::shared_ptr<XmlDocument> Values(const std::string& item_code,
                                    const std::vector<std::pair<std::string, std::string>>& rows,
                                    const Text& count) {
  std::string xml = "<data" + (count ? " count='" + *count + "'" : std::string()) + ">";
  xml += "<row name='cinvcode' value='' itype='' bHave='true'/>";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    xml += "<row name='r" + std::to_string(i) + "' value='' itype='" + rows[i].first +
           "' bHave='true'/>";
  }
  auto document = Document(xml + "</data>");
  // Values set as attribute text arrive as they stand, apostrophes included.
  document->selectSingleNode("//row[@name='cinvcode']/@value")->setText(item_code);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    document->selectSingleNode("//row[@name='r" + std::to_string(i) + "']/@value")
        ->setText(rows[i].second);
  }
  return document;
}

std::shared_ptr<XmlDocument> Document(const std::string& xml) {
  auto document = std::make_shared<XmlDocument>();
  EXPECT_TRUE(document->loadXML(xml)) << xml;
  return document;
}

std::vector<std::string> Serials(const XmlDocument& list) {
  std::vector<std::string> serials;
  for (const XmlNode& entry : list.selectNodes("/SN/R")) {
    serials.push_back(entry.getAttribute("sn").value_or("<none>"));
  }
  return serials;
}

IssueTest::IssueTest() : object(db.NewObject()) {
  rows.CodingRule("inventoryclass", "223");
  rows.Class("AABBCCC", "3");
  rows.Item("X1", "AABBCCC");
}

void IssueTest::Rule(const std::vector<SegmentRow>& segments, const Text& number,
                     const std::string& owner, const std::string& type) {
  db.db().Execute(store::Sql{"delete from SNrulemain where cinvcode=:1 and cinvtype=:2"},
                  {owner, type});
  db.db().Execute(store::Sql{"delete from SNrule where cinvcode=:1 and cinvtype=:2"},
                  {owner, type});
  rows.Header(owner, type, number);
  rows.Segments(owner, type, segments);
}

std::string IssueTest::Number(std::shared_ptr<XmlDocument> values, bool save) {
  std::string code = "overwritten";
  std::string error = "kept";
  std::string serial = object->getSNumber(code, values, error, save);
  EXPECT_EQ(error, "kept");
  return serial;
}

std::shared_ptr<XmlDocument> IssueTest::Parts(std::shared_ptr<XmlDocument> values) {
  std::string code = "overwritten";
  std::string error = "kept";
  auto parts = object->getSNrule(code, values, error, true);
  EXPECT_EQ(error, "kept");
  return parts;
}

std::shared_ptr<XmlDocument> IssueTest::Batch(std::shared_ptr<XmlDocument> values, bool save,
                                              std::string& error) {
  std::string code = "overwritten";
  return object->getSNbatch(code, values, error, save);
}

}  // namespace quillet::testing
