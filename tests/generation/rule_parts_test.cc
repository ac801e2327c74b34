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
    {"10", std::nullopt, "4", "0", std::nullopt, "1"},
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
  Rule({{"10", std::nullopt, "3", "0", std::nullopt, "2"}}, "5");
  EXPECT_EQ(AttributesOf(*Parts(Values("X1", {}))),
            (Attributes{"", "005", "", "2", "5", "3", "0"}));
}

TEST_P(RulePartsTest, WritesTheItemCodeOfTheValueDocument) {
  Rule({{"9", "A"}});
  std::string code = "something else";
  std::string error = "kept";
  auto values = Values("X1", {});
  object->getSNrule(code, values, error, false);
  EXPECT_EQ(code, "X1");
  EXPECT_EQ(error, "kept");
}

TEST_P(RulePartsTest, FailuresLeaveTheDocumentEmpty) {
  const auto values = Values("X1", {{"0", "2024-05-06"}});
  EXPECT_EQ(Parts(values)->xml(), "") << "no rule anywhere";

  rows.Header("X1", "1", "7");
  EXPECT_EQ(Parts(values)->xml(), "") << "a header without segments";

  Rule({{"9", "it's"}, {"10", std::nullopt, "4", "0", std::nullopt, "1"}});
  EXPECT_EQ(Parts(values)->xml(), "") << "an apostrophe in a value";
  Rule({{"9", "a<b"}});
  EXPECT_EQ(Parts(values)->xml(), "");

  Rule({{"10", std::nullopt, "4", "0", std::nullopt, "1"},
        {"10", std::nullopt, "4", "0", std::nullopt, "1"}});
  EXPECT_EQ(Parts(values)->xml(), "") << "a second running number";

  Rule({{"10", std::nullopt, "4", "0", std::nullopt, std::nullopt}});
  EXPECT_EQ(Parts(values)->xml(), "") << "a null step";
  Rule({{"10", std::nullopt, "4", "0", std::nullopt, "1"}}, "x7");
  EXPECT_EQ(Parts(values)->xml(), "") << "a stored number that is not a number";

  Rule({{"9", std::string(32766, 'a')}, {"10", std::nullopt, "1", "0", std::nullopt, "1"}});
  EXPECT_EQ(Parts(values)->xml(), "") << "the running number ends at character 32767";
  Rule({{"9", std::string(32765, 'a')}, {"10", std::nullopt, "1", "0", std::nullopt, "1"}});
  EXPECT_NE(Parts(values)->xml(), "");
}

INSTANTIATE_TEST_SUITE_P(Backends, RulePartsTest, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
