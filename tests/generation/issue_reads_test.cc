// What an issue reads: everything in one query before its one write, with the
// graded and mapped codes the separate look-ups would give, and the search
// for the rule told as the step-by-step search tells it.
#include <gtest/gtest.h>

#include "generation/rule_parts.h"
#include "generation/rule_search.h"
#include "generation/single_issue.h"
#include "store/rule_queries.h"
#include "tests/generation/rule_fixture.h"

namespace quillet::generation {
namespace {

using testing::Running;
using testing::SegmentRow;
using testing::Values;

class IssueReadsTest : public quillet::testing::IssueTest {
 protected:
  IssueReadsTest() {
    rows.CodingRule("department", "22");
    rows.Department("0102", "2");
    rows.Department("0203", "2");
    rows.Mapping("2", "01", "D");
    rows.Mapping("2", "0203", "E");
    rows.Mapping("7", "AA", "K");
    rows.Mapping("3", "W1", "WH");
    rows.Mapping("8", "X1", "IT");
  }

  // The serial number of X1 and the statements its issue sent.
  std::pair<std::string, uint64_t> Issue(const std::vector<std::pair<std::string, std::string>>& v,
                                         bool save) {
    const uint64_t before = store::generation::SentStatements();
    const Issued<std::string> issued = IssueNumber(db.db(), Values("X1", v), save, nullptr);
    return {issued.value, store::generation::SentStatements() - before};
  }
};

struct ReadCase {
  const char* name;
  SegmentRow segment;
  std::vector<std::pair<std::string, std::string>> values;
  std::string expected;  // the segment's text, before the running number 007
};

TEST_P(IssueReadsTest, GradedAndMappedCodesInOneReadAndOneWrite) {
  const std::vector<ReadCase> cases = {
      {"department cut to level 1, mapped", {"2", "1", "2"}, {{"2", "0102"}}, "D"},
      {"department whole, mapped", {"2", "2", "2"}, {{"2", "0203"}}, "E"},
      {"department cut, not mapped", {"2", "1", "3"}, {{"2", "0203"}}, "002"},
      {"class cut to level 1, mapped", {"7", "1", "2"}, {}, "K"},
      {"class cut to level 2, not mapped", {"7", "2", "4"}, {}, "AABB"},
      {"warehouse mapped", {"3", std::nullopt, "2"}, {{"3", "W1"}}, "WH"},
      {"warehouse not mapped", {"3", std::nullopt, "2"}, {{"3", "W2"}}, "W2"},
      {"item mapped", {"8", std::nullopt, "2"}, {}, "IT"},
  };
  for (const ReadCase& c : cases) {
    Rule({c.segment, Running("3")});
    const auto [previewed, reads] = Issue(c.values, false);
    EXPECT_EQ(previewed, c.expected + "007") << c.name;
    EXPECT_EQ(reads, 1u) << c.name;
    const auto [saved, statements] = Issue(c.values, true);
    EXPECT_EQ(saved, c.expected + "007") << c.name;
    EXPECT_EQ(statements, 2u) << c.name << ": one read, one advancing update";
    EXPECT_EQ(StoredNumber(), "8") << c.name;
  }
}

TEST_P(IssueReadsTest, TheIssueTellsTheSearchAsTheWalkDoes) {
  rows.Item("NOCLASS", std::nullopt);
  rows.Header("AABB", "0", "1");
  rows.Segments("AABB", "0", {Running("3")});
  rows.Header("all", "2", "1");
  rows.Segments("all", "2", {Running("3")});
  db.db().Execute(store::Sql{"update SNrulemain set rulename='cut' where cinvcode='AABB'"});
  for (const std::string item : {"X1", "NOCLASS", "UNKNOWN"}) {
    const Issued<std::string> issued = IssueNumber(db.db(), Values(item, {}), false, nullptr);
    const RuleSearch walked = SearchRule(db.db(), item);
    EXPECT_EQ(issued.search.checked, walked.checked) << item;
    EXPECT_EQ(issued.search.found, walked.found) << item;
    EXPECT_EQ(issued.search.stopped, walked.stopped) << item;
  }
  const Issued<std::string> issued = IssueNumber(db.db(), Values("X1", {}), false, nullptr);
  EXPECT_EQ(issued.value, "001");
  EXPECT_EQ(issued.rule_name, "cut");
  const auto parts = ReadRuleParts(db.db(), Values("X1", {}));
  EXPECT_EQ(parts.search.found, issued.search.found);
  EXPECT_EQ(parts.rule_name, "cut");
}

INSTANTIATE_TEST_SUITE_P(Backends, IssueReadsTest,
                         ::testing::ValuesIn(quillet::testing::Backends()));

}  // namespace
}  // namespace quillet::generation
