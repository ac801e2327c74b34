// getSNbatch: the serial list, its fallback lists and the digit limit.
#include <gtest/gtest.h>

#include "core/mod_language.h"
#include "tests/generation/rule_fixture.h"

namespace quillet::testing {
namespace {

class BatchIssueTest : public IssueTest {
 protected:
  // Prefix A, two digits, suffix -X.
  void ARule(const Text& number, const Text& step = "1", const Text& digits = "2") {
    Rule({{"9", "A"}, Running(digits, step), {"9", "-X"}}, number);
  }
  std::shared_ptr<XmlDocument> Batch(const Text& count, bool save) {
    return IssueTest::Batch(Values("X1", {}, count), save, error);
  }

  std::string error = "kept";
};

using SnList = std::vector<std::string>;

TEST_P(BatchIssueTest, IssuesConsecutiveNumbers) {
  ARule("9");
  EXPECT_EQ(Serials(*Batch("3", false)), (SnList{"A09-X", "A10-X", "A11-X"}));
  EXPECT_EQ(StoredNumber(), "9");
  EXPECT_EQ(Serials(*Batch("3", true)), (SnList{"A09-X", "A10-X", "A11-X"}));
  EXPECT_EQ(StoredNumber(), "12");
  EXPECT_EQ(error, "kept");

  ARule("3", "4");
  EXPECT_EQ(Serials(*Batch("2", true)), (SnList{"A03-X", "A07-X"}));
  EXPECT_EQ(StoredNumber(), "11");
  ARule("5", "0");
  EXPECT_EQ(Serials(*Batch("2", true)), (SnList{"A05-X", "A05-X"}));
  EXPECT_EQ(StoredNumber(), "5") << "a step of 0 is used as it is";
}

TEST_P(BatchIssueTest, ACountOfZeroWritesTheNumberBack) {
  ARule("09");
  const auto list = Batch("0", true);
  EXPECT_EQ(list->documentElement()->nodeName(), "SN");
  EXPECT_TRUE(Serials(*list).empty());
  EXPECT_EQ(StoredNumber(), "9");
  EXPECT_TRUE(Serials(*Batch("-4", false)).empty());
}

TEST_P(BatchIssueTest, TheDigitLimitEmptiesTheResultAndSavesNothing) {
  ARule("9", "1", "1");
  EXPECT_EQ(Batch("3", true)->xml(), "");
  EXPECT_EQ(error, modLanguage::GetResString("Vell.SO.SNumber.00008"));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(StoredNumber(), "9");
}

TEST_P(BatchIssueTest, FallbackLists) {
  EXPECT_EQ(Serials(*Batch("2", true)), SnList{}) << "no rule: the count is not read yet";
  EXPECT_EQ(error, "");

  Rule({{"9", "A'"}, Running("2")}, "9");
  error = "kept";
  EXPECT_EQ(Serials(*Batch("2", true)), (SnList{"", ""})) << "the evaluation fails";
  EXPECT_EQ(error, "");
  EXPECT_EQ(StoredNumber(), "9");

  ARule("9");
  EXPECT_EQ(Serials(*Batch(std::nullopt, true)), SnList{});
  EXPECT_EQ(error, "Invalid use of Null");
  EXPECT_EQ(Serials(*Batch("many", true)), SnList{});
  EXPECT_EQ(error, "Type mismatch");
  EXPECT_EQ(Serials(*Batch("40000", true)), SnList{});
  EXPECT_EQ(error, "Overflow");

  Rule({{"9", "A"}}, "9");
  EXPECT_EQ(Serials(*Batch("2", true)), (SnList{"", ""})) << "no running number";
  EXPECT_EQ(error, "Type mismatch");
  ARule("2147483647", "1", "10");
  EXPECT_EQ(Serials(*Batch("1", true)), (SnList{""})) << "the next number overflows";
  EXPECT_EQ(error, "Overflow");
  EXPECT_EQ(StoredNumber(), "2147483647");

  std::string code;
  std::shared_ptr<XmlDocument> none;
  EXPECT_EQ(Serials(*object->getSNbatch(code, none, error)), SnList{});
  EXPECT_EQ(error, "Object variable or With block variable not set");
}

INSTANTIATE_TEST_SUITE_P(Backends, BatchIssueTest, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
