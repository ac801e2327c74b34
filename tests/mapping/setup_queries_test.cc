// The setup screen's queries: record sets handed back as copies, grade lookups.
#include "tests/maintenance/fixture.h"

namespace quillet::testing {
namespace {

class SetupQueries : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    Exec(
        "insert into inventoryclass (cInvCCode,cInvCName,iInvCGrade) values"
        " ('02','b',1),('01','a',1),('0101','a1',2)");
    Exec(
        "insert into inventory (cInvCode,cInvName,cInvCCode,bSerial) values"
        " ('I3','c','01','1'),('I1','a','01','1'),('I2','b','01','0'),('I4','d','0101','1')");
    AddSource("2", "department", "cDepCode", "cDepName");
    Exec(
        "insert into SNPrefabricate_lang (cdatasrccode,localid,cContent) values"
        " ('2','zh-CN','department')");
    Exec(
        "insert into UserDef_lang (cid,citemname,citemlang,localeid) values"
        " (20,'Colour','en','en-US'),(22,'Other','en','en-US'),(21,'颜色','zh','zh-CN')");
    Exec(
        "insert into GradeDef (KEYWORD,lgrade,CODINGRULE) values"
        " ('inventoryclass',3,'223'),('department',2,NULL)");
  }
};

TEST_P(SetupQueries, InitDataOfTheUserLocale) {
  Variant tree, sources, free_items;
  std::string err = "-";
  object().Getinitdata(tree, sources, free_items, err);
  EXPECT_EQ(Texts(*tree.record_set(), {"cInvCCode"}), (Table{{"01"}, {"0101"}, {"02"}}));
  EXPECT_EQ(Texts(*sources.record_set(), {"cdatasrccaption"}), (Table{{"Source"}}));
  EXPECT_EQ(Texts(*free_items.record_set(), {"citemname"}), (Table{{"Colour"}}));
  EXPECT_EQ(err, "-");
}

TEST_P(SetupQueries, SerialItemsOfExactlyOneClass) {
  Variant items;
  std::string err;
  object().GetInvNodesrv("01", items, err);
  EXPECT_EQ(Texts(*items.record_set()), (Table{{"I1", "a", "01"}, {"I3", "c", "01"}}));
  object().GetInvNodesrv("02", items, err);
  EXPECT_EQ(items.record_set()->RecordCount(), 0u);
}

TEST_P(SetupQueries, RecordSetsAreIndependentCopies) {
  Exec(
      "insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber) values ('a',1,'A',''),"
      "('b',1,'B','')");
  Variant first, second;
  std::string err;
  object().GetNumbertreesrv(first, err);
  first.record_set()->MoveNext();
  object().GetNumbertreesrv(second, err);
  ASSERT_NE(first.record_set(), second.record_set());
  EXPECT_FALSE(second.record_set()->Bof());
  EXPECT_EQ(Texts(*first.record_set()).size(), 2u);
  EXPECT_EQ(Texts(*first.record_set()), Texts(*second.record_set()));
}

TEST_P(SetupQueries, GradesOfAnArchive) {
  int16_t grades = -1;
  std::string rule = "untouched";
  std::string err;
  object().GetmaxGrade(grades, "inventoryclass", err);
  object().GetGradeRulesrv(rule, "inventoryclass", err);
  EXPECT_EQ(grades, 3);
  EXPECT_EQ(rule, "223");
  object().GetGradeRulesrv(rule, "department", err);
  EXPECT_EQ(rule, "");

  grades = -1;
  rule = "untouched";
  EXPECT_THROW(object().GetmaxGrade(grades, "unknown", err), Error);
  EXPECT_THROW(object().GetGradeRulesrv(rule, "unknown", err), Error);
  EXPECT_EQ(grades, -1);
  EXPECT_EQ(rule, "untouched");
}

INSTANTIATE_TEST_SUITE_P(Backends, SetupQueries, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
