// getSNrule: a rule evaluated into the rule parts document, read only.
#include <gtest/gtest.h>

#include "tests/generation/rule_fixture.h"

namespace quillet::testing {
namespace {

using Attributes = std::vector<std::string>;  // 前缀 流水 后缀 步长 最大流水 流水位数 err

Attributes AttributesOf(const XmlDocument& parts) {
  Attributes values;
  const auto root = parts.documentElement();
  if (!root) return values;
  for (const char* name : {"前缀", "流水", "后缀", "步长", "最大流水", "流水位数", "err"}) {
    values.push_back(root->getAttribute(name).value_or("<none>"));
  }
  return values;
}

const std::vector<SegmentRow> kFourSegments = {
    {"9", "SN-"},
    {"0", "YYYYMMDD"},
    Running("4"),
    {"9", "-X"},
};

using RulePartsTest = IssueTest;

TEST_P(RulePartsTest, SplitsTheRuleAroundTheRunningNumber) {
  Rule(kFourSegments, "7");
  const auto values = Values("X1", {{"0", "2024-05-06"}});
  EXPECT_EQ(AttributesOf(*Parts(values)),
            (Attributes{"SN-20240506", "0007", "-X", "1", "7", "4", "0"}));
  EXPECT_EQ(AttributesOf(*Parts(values)), AttributesOf(*Parts(values)));
  EXPECT_EQ(StoredNumber(), "7") << "nothing is advanced";

  Rule(kFourSegments, "12345");
  EXPECT_EQ(AttributesOf(*Parts(values)),
            (Attributes{"SN-20240506", "12345", "-X", "1", "12345", "4", "0"}));
  Rule(kFourSegments, "0012345");  // too wide: the column's own text
  EXPECT_EQ(AttributesOf(*Parts(values))[1], "0012345");
  EXPECT_EQ(AttributesOf(*Parts(values))[4], "12345");
}

TEST_P(RulePartsTest, ARuleWithoutOrOnlyARunningNumber) {
  Rule({{"9", "AB"}, {"0", "YYMM"}});
  EXPECT_EQ(AttributesOf(*Parts(Values("X1", {{"0", "2024-05-06"}}))),
            (Attributes{"", "", "AB2405", "", "", "", "0"}));
  Rule({Running("3", "2")}, "5");
  EXPECT_EQ(AttributesOf(*Parts(Values("X1", {}))),
            (Attributes{"", "005", "", "2", "5", "3", "0"}));
}

TEST_P(RulePartsTest, FailuresLeaveTheDocumentEmpty) {
  const auto values = Values("X1", {{"0", "2024-05-06"}});
  EXPECT_EQ(Parts(values)->xml(), "") << "no rule anywhere";

  rows.Header("X1", "1", "7");
  EXPECT_EQ(Parts(values)->xml(), "") << "a header without segments";

  Rule({{"9", "it's"}, Running("4")});
  EXPECT_EQ(Parts(values)->xml(), "") << "an apostrophe in a value";
  Rule({{"9", "a<b"}});
  EXPECT_EQ(Parts(values)->xml(), "");

  Rule({Running("4"), Running("4")});
  EXPECT_EQ(Parts(values)->xml(), "") << "a second running number";

  Rule({Running("4", std::nullopt)});
  EXPECT_EQ(Parts(values)->xml(), "") << "a null step";
  Rule({Running("4")}, "x7");
  EXPECT_EQ(Parts(values)->xml(), "") << "a stored number that is not a number";

  Rule({{"9", std::string(32766, 'a')}, Running("1")});
  EXPECT_EQ(Parts(values)->xml(), "") << "the running number ends at character 32767";
  Rule({{"9", std::string(32765, 'a')}, Running("1")});
  EXPECT_NE(Parts(values)->xml(), "");
}

INSTANTIATE_TEST_SUITE_P(Backends, RulePartsTest, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
