// A rule being edited, evaluated for a sample line before it is saved: what
// each segment gives, why a segment gives nothing, and which running number
// the serial number would carry, without anything being written.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "quillet/numbering.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

struct DraftCase {
  std::string what;
  std::string owner;  // the demo company has rules for all, class:01, item:LW-DL-100
  std::string item;
  std::string words;   // the segments, separated by blanks
  std::string set;     // the line's one value NAME=VALUE, or ""
  std::string serial;  // "" when `cause` says why
  std::string cause;
  std::string next_number;
  bool fits = true;
};

const std::vector<DraftCase> kCases = {
    {"cut, graded and fitted", "class:01", "LW-FL-300",
     "text=LW department=1,width=2 date=-YYMM- class=2,width=4 item,width=3 number,width=4",
     "department=0101", "LW01-2405-01023000001", "", "1"},
    {"a fill sign stands for a missing value", "class:01", "LW-FL-300",
     "lot,width=3,fill=* number,width=2", "", "***01", "", "1"},
    {"a missing value without a fill sign", "class:01", "LW-FL-300",
     "text=A lot,width=3 number,width=2", "", "", "missing_value", "1"},
    {"a department not in the archive", "class:01", "LW-FL-300",
     "department=1,width=2 number,width=2", "department=99", "", "unknown_department", "1"},
    {"the class without an item", "all", "", "class=1,width=2 number,width=2", "", "", "no_item",
     "1"},
    {"an owner with a rule keeps its number", "class:01", "LW-FL-300", "number,width=3,start=50",
     "", "001", "", "1"},
    {"a new rule starts at its start, cut to the width", "class:02", "LW-DR-012",
     "text=D number,width=2,start=123", "", "D23", "", "123", false},
    {"no segments", "class:02", "LW-DR-012", "", "", "", "no_segments", ""},
};

std::vector<Segment> Segments(const DraftCase& c) {
  std::vector<std::string> words;
  std::istringstream stream(c.words);
  for (std::string word; stream >> word;) words.push_back(word);
  std::vector<Segment> segments;
  for (const std::string& word : words) segments.push_back(ParseSegment(word));
  return segments;
}

Line LineOf(const DraftCase& c) {
  Line line{c.item, "2024-05-06", {}};
  if (!c.set.empty())
    line.values[c.set.substr(0, c.set.find('='))] = c.set.substr(c.set.find('=') + 1);
  return line;
}

class DraftRuleTest : public ::testing::TestWithParam<std::string> {
 protected:
  quillet::testing::TestDatabase db{GetParam(), /*with_demo=*/true};
};

TEST_P(DraftRuleTest, GivesEachSegmentsTextOrWhyNot) {
  Numbering numbering = Numbering::Open(db.connection_string(), {.locale = "en-US"});
  for (const DraftCase& c : kCases) {
    SCOPED_TRACE(c.what);
    const std::vector<Segment> segments = Segments(c);
    const DraftEvaluation draft =
        numbering.EvaluateDraft({ParseOwner(c.owner), segments, LineOf(c)});
    EXPECT_EQ(draft.serial_number, c.serial);
    EXPECT_EQ(draft.failure ? draft.failure->cause : "", c.cause);
    EXPECT_EQ(draft.next_number, c.next_number);
    EXPECT_EQ(draft.number_fits, c.fits);
    ASSERT_EQ(draft.segments.size(), segments.size());
  }
  // Nothing was written: the owners keep their rules and numbers.
  EXPECT_EQ(numbering.GetRunningNumber(ParseOwner("class:01")).next_number, "1");
  EXPECT_FALSE(numbering.FindRule(ParseOwner("class:02")));
}

// Once saved, the draft issues what its preview showed.
TEST_P(DraftRuleTest, IssuesWhatThePreviewShowed) {
  Numbering numbering = Numbering::Open(db.connection_string(), {.locale = "en-US"});
  const DraftCase& c = kCases.front();
  const std::vector<Segment> segments = Segments(c);
  const Line line = LineOf(c);
  const RuleOwner owner = ParseOwner(c.owner);
  const std::string previewed = numbering.EvaluateDraft({owner, segments, line}).serial_number;
  numbering.SaveRule({owner, "Lighting", segments});
  const IssueResult issued = numbering.Issue({line.item, line.date, line.values});
  EXPECT_EQ(issued.serial_numbers, std::vector<std::string>{previewed});
}

INSTANTIATE_TEST_SUITE_P(Backends, DraftRuleTest,
                         ::testing::ValuesIn(quillet::testing::Backends()));

}  // namespace
}  // namespace quillet
