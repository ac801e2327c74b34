// Rule resolution: the item, its class, the ancestors cut by the coding rule,
// then "all"; and graded codes, which cut by the same coding rules.
#include "generation/rule_owner.h"

#include <gtest/gtest.h>

#include "generation/graded_code.h"
#include "quillet/error.h"
#include "store/rule_queries.h"
#include "tests/generation/rule_fixture.h"
#include "tests/support/raised.h"

namespace quillet::generation {
namespace {

// Item X1 of class AABBCCC, coding rule 223.
class RuleOwnerTest : public quillet::testing::IssueTest {
 protected:
  // The owner found for X1 and the number of statements it took.
  std::pair<std::optional<RuleOwner>, uint64_t> Resolve(const std::string& item = "X1") {
    const uint64_t before = store::generation::SentStatements();
    auto owner = GetRuleOwner(db.db(), item);
    return {owner, store::generation::SentStatements() - before};
  }
};

struct ResolutionCase {
  std::vector<std::pair<std::string, std::string>> headers;
  std::optional<RuleOwner> expected;
};

TEST_P(RuleOwnerTest, WalksFromTheItemUpToAll) {
  const std::vector<ResolutionCase> cases = {
      {{{"X1", "1"}, {"all", "2"}}, {{"X1", OwnerKind::kItem}}},
      {{{"AABBCCC", "0"}, {"AA", "0"}}, {{"AABBCCC", OwnerKind::kClass}}},
      {{{"AABB", "0"}, {"AA", "0"}}, {{"AABB", OwnerKind::kClass}}},
      {{{"AA", "0"}, {"all", "2"}}, {{"AA", OwnerKind::kClass}}},
      {{{"all", "2"}, {"X1", "0"}, {"AABBCCC", "1"}}, {{"all", OwnerKind::kAll}}},
      {{{"A", "0"}, {"AAB", "0"}}, std::nullopt},
  };
  for (const ResolutionCase& c : cases) {
    db.db().Execute(store::Sql{"delete from SNrulemain"});
    for (const auto& [code, type] : c.headers) rows.Header(code, type, "1");
    const auto [owner, statements] = Resolve();
    EXPECT_TRUE(owner == c.expected) << c.headers.front().first;
    EXPECT_EQ(statements, 1u) << "one query, whatever the level: " << c.headers.front().first;
  }
}

// A top-level class without a header goes to all; an item with its own
// header needs no inventory row.
TEST_P(RuleOwnerTest, ATopLevelClassGoesToAllAndAnOwnHeaderNeedsNoItem) {
  rows.Class("BB", "1");
  rows.Item("X2", "BB");
  rows.Header("all", "2", "1");
  rows.Header("GHOST", "1", "1");
  const auto [owner, statements] = Resolve("X2");
  EXPECT_EQ(owner.value_or(RuleOwner{}).code, "all");
  EXPECT_EQ(statements, 1u);
  EXPECT_EQ(Resolve("GHOST").first->code, "GHOST");
}

TEST_P(RuleOwnerTest, RaisesInsteadOfAnsweringNoRule) {
  rows.Header("all", "2", "1");
  rows.Item("NOCLASS", std::nullopt);
  EXPECT_THROW(GetRuleOwner(db.db(), "UNKNOWN"), Error);
  EXPECT_THROW(GetRuleOwner(db.db(), "NOCLASS"), Error);

  rows.Class("CCDD", "2");
  rows.Item("X3", "CCDD");
  rows.Header("CCDD", "0", "1");
  db.db().Execute(store::Sql{"delete from GradeDef"});
  EXPECT_THROW(GetRuleOwner(db.db(), "X3"), Error) << "the coding rule is read first";
}

TEST_P(RuleOwnerTest, RaisesForACodingRuleThatCannotCutTheCode) {
  rows.Header("all", "2", "1");
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"2x3", errc::kTypeMismatch},     // the level-2 digit is not a digit
      {"22", errc::kTypeMismatch},      // no digit for level 3
      {"229", errc::kInvalidArgument},  // 9 characters off a 7-character code
  };
  for (const auto& [rule, number] : cases) {
    db.db().Execute(store::Sql{"update GradeDef set CODINGRULE=:1"}, {rule});
    EXPECT_EQ(testing::Raised([&] { GetRuleOwner(db.db(), "X1"); }).number(), number) << rule;
  }
}

TEST_P(RuleOwnerTest, GradedCodesCutByTheCodingRuleOfTheirKind) {
  rows.CodingRule("department", "13");
  rows.Department("1203", "2");
  rows.Class("0102003", "3");
  rows.Item("I9", "0102003");
  const std::vector<std::tuple<std::string, std::string, std::string, std::string>> cases = {
      {"I9", kInventoryClassKind, "2", "0102"},    {"I9", kInventoryClassKind, "1", "01"},
      {"I9", kInventoryClassKind, "3", "0102003"}, {"I9", kInventoryClassKind, "5", "0102003"},
      {"I9", kInventoryClassKind, "0", ""},        {"1203", kDepartmentKind, "1", "1"},
      {"1203", kDepartmentKind, "2", "1203"},
  };
  for (const auto& [code, kind, grade, expected] : cases) {
    EXPECT_EQ(GetGradedCode(db.db(), code, kind, grade), expected) << code << " " << grade;
  }
  EXPECT_THROW(GetGradedCode(db.db(), "I9", kInventoryClassKind, "x"), Error);
  EXPECT_THROW(GetGradedCode(db.db(), "9999", kDepartmentKind, "1"), Error);
  EXPECT_THROW(GetGradedCode(db.db(), "1203", "warehouse", "1"), Error);
  db.db().Execute(store::Sql{"delete from GradeDef where KEYWORD='department'"});
  EXPECT_THROW(GetGradedCode(db.db(), "1203", kDepartmentKind, "2"), Error)
      << "the coding rule is read even when nothing is cut";
}

INSTANTIATE_TEST_SUITE_P(Backends, RuleOwnerTest,
                         ::testing::ValuesIn(quillet::testing::Backends()));

}  // namespace
}  // namespace quillet::generation
