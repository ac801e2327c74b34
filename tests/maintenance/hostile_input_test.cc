// Texts that would break statements assembled by splicing are stored and read
// back unchanged.
#include "tests/maintenance/fixture.h"

namespace quillet::testing {
namespace {

const std::vector<std::string> kHostileTexts = {
    "O'Brien", "A&B", "<row/>", "序列号规则", "x'); delete from SNrule; --", "\"q\" & 'a' < 'b'"};

using HostileRuleInput = DatabaseTest;

TEST_P(HostileRuleInput, RuleTextsRoundTrip) {
  for (const std::string& text : kHostileTexts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Save({{"1", "9", text, "40", "0", text}}, text, 1, text, text), "-");
    Variant rule;
    std::string err;
    object().GetInvBatchRulesrv(text, rule, 1, err);
    RecordSet& rows = *rule.record_set();
    ASSERT_EQ(rows.RecordCount(), 1u);
    for (const char* column :
         {"cinvcode", "cinvname", "rulename", "crulename", "cdatasrcformat", "creplacesign"}) {
      EXPECT_EQ(rows.Field(column).ToText(), text) << column;
    }

    Variant number(text);
    object().SavemaxNumbersrv(text, number, 1, err);
    object().GetmaxNumbersrv(text, number, 1, err);
    EXPECT_EQ(number.ToText(), text);

    object().DelSNRulesrv(text, 1, text, err);
    EXPECT_TRUE(Rows("select * from SNrule").empty());
    EXPECT_TRUE(Rows("select * from SNrulemain").empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, HostileRuleInput, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
