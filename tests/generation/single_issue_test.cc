// getSNumber: one serial number, and the running number it leaves stored.
#include <gtest/gtest.h>

#include "generation/running_number_lease.h"
#include "tests/generation/rule_fixture.h"
#include "tests/support/held_transaction.h"

namespace quillet::testing {
namespace {

using SingleIssueTest = IssueTest;

struct SavedCase {
  const char* what;
  std::vector<SegmentRow> rule;
  Text number;           // stored before
  std::string expected;  // "" means the issue fails
  Text stored;           // after the save; nullopt: not read
};

TEST_P(SingleIssueTest, SavesWhatTheRunningNumberGives) {
  const std::vector<SavedCase> cases = {
      {"a step of 5", {{"9", "SN-"}, Running("4", "5")}, "7", "SN-0007", "12"},
      {"a step of 0 advances by one", {Running("4", "0")}, "7", "0007", "8"},
      {"a null step advances by one", {Running("4", std::nullopt)}, "7", "0007", "8"},
      {"a negative step is used", {Running("4", "-3")}, "7", "0007", "4"},
      {"wider than its digits: cut", {Running("3")}, "1234", "234", "1235"},
      {"read as a number, written as decimal text", {Running("4")}, " 0042 ", "0042", "43"},
      {"the next number overflows", {Running("4")}, "2147483647", "", "2147483647"},
      {"a header without a number", {Running("4")}, "", "", std::nullopt},
      {"a header without segments", {}, "7", "", "7"},
  };
  for (const SavedCase& c : cases) {
    Rule(c.rule, c.number);
    EXPECT_EQ(Number(Values("X1", {})), c.expected) << c.what << ", not saved";
    EXPECT_EQ(StoredNumber(), c.number.value_or("")) << c.what << ": not saved, nothing stored";
    EXPECT_EQ(Number(Values("X1", {}), true), c.expected) << c.what;
    if (c.stored) {
      EXPECT_EQ(StoredNumber(), *c.stored) << c.what;
    }
  }
  EXPECT_EQ(Number(Values("NOBODY", {}), true), "") << "an item not in inventory";
}

TEST_P(SingleIssueTest, ANumberSavedBeforeALaterSegmentFailsStaysSaved) {
  Rule({Running("4", "1"), {"2", "1", "2", "0"}}, "7");
  auto values = Document(
      "<data><row name='cinvcode' value='X1'/>"
      "<row name='department' value='01' itype='2' bHave='false'/></data>");
  EXPECT_EQ(Number(values, true), "");
  EXPECT_EQ(StoredNumber(), "8");
}

TEST_P(SingleIssueTest, NumberAndPartsWriteTheItemCodeOfTheValueDocument) {
  Rule({{"9", "A"}});
  std::string code = "other";
  std::string error = "kept";
  auto values = Values("X1", {});
  EXPECT_EQ(object->getSNumber(code, values, error), "A");
  EXPECT_EQ(code, "X1");
  code = "other";
  object->getSNrule(code, values, error, false);
  EXPECT_EQ(code, "X1");
  EXPECT_EQ(error, "kept");
}

TEST_P(SingleIssueTest, AHeldNumberIsIssuedToNobodyElse) {
  Rule({Running("4", "1")}, "7");
  const generation::RuleOwner owner{"X1", generation::kOwnerItem};
  {
    generation::RunningNumberLease abandoned(db.db());
    EXPECT_EQ(abandoned.Read(owner)->Field("cnumber").ToText(), "7");
  }
  EXPECT_EQ(StoredNumber(), "7") << "a lease that is not advanced stores nothing";

  generation::RunningNumberLease lease(db.db());
  EXPECT_EQ(lease.Read(owner)->Field("cnumber").ToText(), "7");
  std::string other;
  // The observer holds nothing; StartBeside returns once the other caller
  // waits on the header row the lease holds.
  HeldTransaction observer(db.connection_string(), /*begin=*/false);
  observer.StartBeside(
      [&] {
        auto own = db.NewObject();
        std::string code, error;
        auto values = Values("X1", {});
        other = own->getSNumber(code, values, error, true);
      },
      "snrulemain");
  lease.Advance("8");
  observer.Commit();
  EXPECT_EQ(other, "0008");
  EXPECT_EQ(StoredNumber(), "9");
}

INSTANTIATE_TEST_SUITE_P(Backends, SingleIssueTest, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
