// Segment values: each data source type's text, with fills, grades,
// mappings and the value document's availability rules.
#include <gtest/gtest.h>

#include "tests/generation/rule_fixture.h"

namespace quillet::testing {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

struct SegmentCase {
  const char* what;
  SegmentRow segment;
  Rows values;
  std::string expected;  // "" means the issue fails
};

class SegmentTextTest : public IssueTest {
 protected:
  void SetUp() override {
    rows.CodingRule("department", "22");
    rows.Department("1203", "2");
    rows.Mapping("2", "12", "D");
    rows.Mapping("3", "WC1", "LONGCODE");
    rows.Mapping("4", "W1", std::nullopt);  // a null code is no mapping
    rows.Mapping("7", "AABB", "K");
    rows.Mapping("20", "F1", "NOTUSED");  // free items are never mapped
  }

  // The serial number of a rule "<" segment ">", so that an empty segment
  // text still gives a result.
  std::string Issue(const SegmentRow& segment, const Rows& values) {
    Rule({{"9", "<"}, segment, {"9", ">"}});
    return Number(Values("X1", values));
  }
};

TEST_P(SegmentTextTest, EachDataSourceType) {
  const std::vector<SegmentCase> cases = {
      {"date", {"0", "YYMMDD"}, {{"0", "2024-05-06T10:00:00"}}, "<240506>"},
      {"empty date", {"0", "YYMMDD"}, {{"0", ""}}, "<>"},
      {"lot padded", {"1", {}, "5", "#"}, {{"1", "L7"}}, "<###L7>"},
      {"lot cut", {"1", {}, "2", "0"}, {{"1", "LOT77"}}, "<77>"},
      {"department graded and mapped", {"2", "1", "4", "0"}, {{"2", "1203"}}, "<D>"},
      {"department whole", {"2", "2", "6", "0"}, {{"2", "1203"}}, "<001203>"},
      {"mapping wider than the segment", {"3", {}, "2", "0"}, {{"3", "WC1"}}, "<LONGCODE>"},
      {"null mapping", {"4", {}, "3", "0"}, {{"4", "W1"}}, "<0W1>"},
      {"unmapped", {"5", {}, "4", "0"}, {{"5", "12"}}, "<0012>"},
      {"supplier", {"6", {}, "2", "0"}, {{"6", "V9"}}, "<V9>"},
      {"class cut and mapped", {"7", "2", "3", "0"}, {}, "<K>"},
      {"class whole", {"7", "3", "8", "-"}, {}, "<-AABBCCC>"},
      {"item code", {"8", {}, "4", "0"}, {}, "<00X1>"},
      {"fixed text", {"9", "F-1"}, {}, "<F-1>"},
      {"null fixed text", {"9", std::nullopt}, {}, "<>"},
      {"free item unmapped", {"20", {}, "2", "0"}, {{"20", "F1"}}, "<F1>"},
      {"free item 10", {"35", {}, "3", "0"}, {{"35", "9"}}, "<009>"},
      {"unknown type", {"11", "x"}, {}, "<>"},
      {"negative type", {"-1", "x"}, {}, "<>"},
      {"fill", {"1", {}, "4", "0", "*"}, {{"1", ""}}, "<****>"},
      {"blank fill", {"1", {}, "2", "0", " "}, {{"1", ""}}, "<  >"},
      {"fill of width 0", {"3", {}, "0", "0", "*"}, {{"3", ""}}, "<>"},
      {"first row of a type", {"1", {}, "2", "0"}, {{"1", "A1"}, {"1", "B2"}}, "<A1>"},
      {"empty value without fill", {"1", {}, "4", "0"}, {{"1", ""}}, ""},
      {"negative fill", {"1", {}, "-1", "0", "*"}, {{"1", ""}}, ""},
      {"missing row", {"4", {}, "2", "0"}, {{"5", "W1"}}, ""},
      {"itype 02 is not 2", {"2", "1", "2", "0"}, {{"02", "1203"}}, ""},
      {"null width", {"1", {}, std::nullopt, "0"}, {{"1", "L"}}, ""},
      {"null pad sign", {"1", {}, "2", std::nullopt}, {{"1", "L"}}, ""},
      {"null grade", {"2", std::nullopt, "2", "0"}, {{"2", "1203"}}, ""},
      {"unknown department", {"2", "1", "2", "0"}, {{"2", "9999"}}, ""},
      {"grade not a number", {"7", "x", "2", "0"}, {}, ""},
  };
  for (const SegmentCase& c : cases) {
    EXPECT_EQ(Issue(c.segment, c.values), c.expected) << c.what;
  }
}

TEST_P(SegmentTextTest, OnlyTheExactTextTrueMakesAValueAvailable) {
  Rule({{"9", "<"}, {"1", {}, "2", "0"}, {"0", "YYYY"}});
  const auto values = [](const char* bhave_1, const char* bhave_0) {
    return Document(std::string("<data><row name='cinvcode' value='X1'/>") +
                    "<row name='a' value='L1' itype='1' bHave='" + bhave_1 + "'/>" +
                    "<row name='b' value='2024-01-01' itype='0' bHave='" + bhave_0 + "'/></data>");
  };
  EXPECT_EQ(Number(values("true", "false")), "<L12024") << "the date never reads bHave";
  EXPECT_EQ(Number(values("True", "true")), "");
  EXPECT_EQ(Number(values("false", "true")), "");
  EXPECT_EQ(
      Number(Document("<data><row name='cinvcode' value='X1'/>"
                      "<row value='L1' itype='1'/><row value='2024-01-01' itype='0'/></data>")),
      "")
      << "a row without bHave";
  EXPECT_EQ(Number(Document("<data><row name='cinvcode'/></data>")), "")
      << "an item-code row without value";
}

TEST_P(SegmentTextTest, GetContraposeAnswersTheMappedCode) {
  EXPECT_EQ(object->GetContrapose("3", "WC1"), "LONGCODE");
  EXPECT_EQ(object->GetContrapose("4", "W1"), "");
  EXPECT_EQ(object->GetContrapose("03", "WC1"), "");
  EXPECT_EQ(object->GetContrapose("3", "it's"), "");
}

INSTANTIATE_TEST_SUITE_P(Backends, SegmentTextTest, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
