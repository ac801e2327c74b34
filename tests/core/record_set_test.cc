// RecordSet: cursor, clone independence and the XML persistence format.
#include <gtest/gtest.h>

#include <string>

#include "quillet/error.h"
#include "quillet/recordset.h"
#include "quillet/xml_document.h"
#include "tests/support/raised.h"

namespace quillet {
namespace {

using testing::Raised;

RecordSet TwoRows() {
  return RecordSet({{"cinvcode", FieldType::kText}, {"iinvcgrade", FieldType::kInteger}},
                   {{Variant("X1"), Variant(int32_t{3})}, {Variant("X2"), Variant::Null()}});
}

TEST(RecordSetTest, CursorAndFieldErrors) {
  RecordSet rs = TwoRows();
  EXPECT_EQ(rs.Field("CINVCODE").text(), "X1");
  EXPECT_EQ(rs.Field(1).ToInt32(), 3);
  EXPECT_EQ(Raised([&] { rs.Field("nope"); }).number(), errc::kItemNotFound);
  EXPECT_EQ(Raised([&] { rs.Field(2); }).number(), errc::kItemNotFound);
  rs.MoveNext();
  EXPECT_TRUE(rs.Field("iinvcgrade").IsNull());
  rs.MoveNext();
  EXPECT_TRUE(rs.Eof());
  EXPECT_EQ(Raised([&] { rs.Field("cinvcode"); }).number(), errc::kNoCurrentRecord);
  EXPECT_EQ(Raised([&] { rs.MoveNext(); }).number(), errc::kNoCurrentRecord);
  rs.MoveFirst();
  EXPECT_EQ(rs.Field(0).text(), "X1");

  const RecordSet empty({{"a", FieldType::kText}}, {});
  EXPECT_TRUE(empty.Bof() && empty.Eof());
  EXPECT_EQ(Raised([&] { empty.Field("a"); }).number(), errc::kNoCurrentRecord);
}

TEST(RecordSetTest, CloneIsIndependentAndStartsOnTheFirstRow) {
  RecordSet rs = TwoRows();
  rs.MoveNext();
  auto clone = rs.Clone();
  EXPECT_EQ(clone->Field("cinvcode").text(), "X1");
  clone->MoveNext();
  clone->MoveNext();
  EXPECT_TRUE(clone->Eof());
  EXPECT_EQ(rs.Field("cinvcode").text(), "X2");
  rs = RecordSet();
  EXPECT_EQ(clone->RecordCount(), 2u);
}

TEST(RecordSetTest, SavesThePersistenceFormatExactly) {
  const RecordSet rs({{"cinvcode", FieldType::kText}, {"iinvcgrade", FieldType::kInteger}},
                     {{Variant("X1"), Variant(int32_t{3})}});
  EXPECT_EQ(rs.SaveXml(),
            "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
            "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
            "\txmlns:rs='urn:schemas-microsoft-com:rowset'\n"
            "\txmlns:z='#RowsetSchema'>\n"
            "<s:Schema id='RowsetSchema'>\n"
            "\t<s:ElementType name='row' content='eltOnly' rs:updatable='true'>\n"
            "\t\t<s:AttributeType name='cinvcode' rs:number='1' rs:nullable='true' "
            "rs:writeunknown='true'>\n"
            "\t\t\t<s:datatype dt:type='string' dt:maxLength='255'/>\n"
            "\t\t</s:AttributeType>\n"
            "\t\t<s:AttributeType name='iinvcgrade' rs:number='2' rs:nullable='true' "
            "rs:writeunknown='true'>\n"
            "\t\t\t<s:datatype dt:type='int' dt:maxLength='4' rs:precision='10' "
            "rs:fixedlength='true'/>\n"
            "\t\t</s:AttributeType>\n"
            "\t\t<s:extends type='rs:rowbase'/>\n"
            "\t</s:ElementType>\n"
            "</s:Schema>\n"
            "<rs:data>\n"
            "\t<z:row cinvcode='X1' iinvcgrade='3'/>\n"
            "</rs:data>\n"
            "</xml>");
}

TEST(RecordSetTest, RoundTripKeepsNullsEscapesDuplicatesAndChinese) {
  const std::string awkward = "a'b&c<d\"e>f\tg\nh";
  const RecordSet rs({{"code", FieldType::kText},
                      {"code", FieldType::kText},  // a join of a.*, b.*
                      {"存货 名称", FieldType::kText},
                      {"qty", FieldType::kDouble},
                      {"ok", FieldType::kBoolean},
                      {"grade", FieldType::kInteger}},
                     {{Variant(awkward), Variant("b"), Variant("螺丝钉"), Variant(2.5),
                       Variant(true), Variant(int32_t{-7})},
                      {Variant::Null(), Variant(""), Variant::Null(), Variant::Null(),
                       Variant(false), Variant::Null()}});
  const std::string saved = rs.SaveXml();
  EXPECT_NE(saved.find("name='c1' rs:name='code'"), std::string::npos);
  EXPECT_NE(saved.find("name='c2' rs:name='存货 名称'"), std::string::npos);
  EXPECT_NE(saved.find("<z:row c1='' ok='False'/>"), std::string::npos) << saved;

  const RecordSet back = RecordSet::LoadXml(saved);
  ASSERT_EQ(back.columns().size(), rs.columns().size());
  for (std::size_t i = 0; i < rs.columns().size(); ++i) {
    EXPECT_EQ(back.columns()[i].name, rs.columns()[i].name);
    EXPECT_EQ(back.columns()[i].type, rs.columns()[i].type);
  }
  EXPECT_EQ(back.rows(), rs.rows());
}

TEST(RecordSetTest, LoadsRowsWithoutSchemaAndRefusesOtherTexts) {
  const RecordSet rs = RecordSet::LoadXml(
      "<xml xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><rs:data>"
      "<z:row a='1'/><z:row b='2' a='3'/></rs:data></xml>");
  ASSERT_EQ(rs.columns().size(), 2u);
  EXPECT_EQ(rs.columns()[1].name, "b");
  EXPECT_TRUE(rs.rows()[0][1].IsNull());
  EXPECT_EQ(rs.rows()[1][0].text(), "3");

  for (const char* text : {"", "<xml><rs:data></xml>", "<xml/>", "<data><row a='1'/></data>"}) {
    EXPECT_EQ(Raised([&] { RecordSet::LoadXml(text); }).number(), errc::kXmlInvalid) << text;
  }
}

TEST(RecordSetTest, SavedDocumentAnswersRowQueries) {
  const RecordSet rs({{"cdatasrccode", FieldType::kText}, {"cseed", FieldType::kText}},
                     {{Variant("02"), Variant("a")}, {Variant("2"), Variant("b")}});
  XmlDocument doc;
  rs.Save(doc);
  EXPECT_EQ(doc.selectNodes("//z:row").size(), 2u);
  const auto row = doc.selectSingleNode("//z:row[@cdatasrccode='2']");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->getAttribute("cseed"), "b");
}

}  // namespace
}  // namespace quillet
