// Applying a rule file's plan: a running number issued past the file's
// between the plan and its transaction is not set back without force.

#include "maintenance/rule_file.h"
#include "tests/maintenance/fixture.h"

namespace quillet::testing {
namespace {

using RuleFileApply = DatabaseTest;

const std::vector<SegmentSpec> kFixedAndNumber = {{"1", "9", "SN", "2"},
                                                  {"2", "10", "1", "4", "0", "", "1"}};

TEST_P(RuleFileApply, ANumberIssuedSinceThePlanIsNotSetBackWithoutForce) {
  ASSERT_EQ(Save(kFixedAndNumber, "I001", 1, "R1", "Bolt"), "-");
  maintenance::ImportPlan plan;
  plan.rules.push_back(
      {RuleOwner::Item("I001"), "R1", RuleDocument("Bolt", kFixedAndNumber), "5", {}});
  // Numbers 1 to 9 were issued after the plan found 1 stored.
  Exec("update SNrulemain set cnumber='10' where cinvcode='I001'");
  const auto number = [&] { return Rows("select cnumber from SNrulemain")[0][0]; };
  try {
    maintenance::ApplyImport(db(), plan, "ana");
    ADD_FAILURE() << "set back without force";
  } catch (const Error& refused) {
    EXPECT_EQ(refused.number(), errc::kGuarded) << refused.what();
  }
  EXPECT_EQ(number(), "10");
  plan.force = true;
  maintenance::ApplyImport(db(), plan, "ana");
  EXPECT_EQ(number(), "5");
}

INSTANTIATE_TEST_SUITE_P(Backends, RuleFileApply, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
