// Reading an owner's rule and reading and setting its running number, with
// texts of every kind.
#include "tests/maintenance/fixture.h"

namespace quillet::testing {
namespace {

using RuleLookup = DatabaseTest;

TEST_P(RuleLookup, RuleComesWithSegmentsInGradeOrder) {
  Save({{"3", "9", "C", "1"}, {"1", "9", "A", "1"}, {"2", "9", "B", "1"}}, "C01", 0, "R1", "Tools");
  Variant rule;
  std::string err = "-";
  object().GetInvBatchRulesrv("C01", rule, 0, err);
  ASSERT_EQ(rule.type(), Variant::Type::kRecordSet);
  RecordSet& rows = *rule.record_set();
  EXPECT_EQ(rows.columns().front().name, "cinvcode");
  EXPECT_TRUE(rows.FindColumn("isteplength"));
  Table formats;
  for (; !rows.Eof(); rows.MoveNext()) {
    formats.push_back({rows.Field("cinvname").ToText(), rows.Field("cdatasrcformat").ToText()});
  }
  EXPECT_EQ(formats, (Table{{"Tools", "A"}, {"Tools", "B"}, {"Tools", "C"}}));
  EXPECT_EQ(err, "-");
}

TEST_P(RuleLookup, HeaderWithoutSegmentsAndMissingOwner) {
  Save({}, "all", 2, "EMPTY");
  Variant rule;
  std::string err;
  object().GetInvBatchRulesrv("all", rule, 2, err);
  ASSERT_EQ(rule.record_set()->RecordCount(), 1u);
  EXPECT_TRUE(rule.record_set()->Field("igrade").IsNull());
  object().GetInvBatchRulesrv("nobody", rule, 1, err);
  EXPECT_EQ(rule.record_set()->RecordCount(), 0u);
}

TEST_P(RuleLookup, RunningNumberSetAndRead) {
  Exec("insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber) values ('all',2,'R','1')");
  Exec("insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber) values ('B',1,'RB',NULL)");
  std::string err = "-";
  Variant number(int32_t{25});
  object().SavemaxNumbersrv("all", number, 2, err);
  object().SavemaxNumbersrv("nobody", number, 1, err);  // no header: nothing changes
  object().GetmaxNumbersrv("all", number, 2, err);
  EXPECT_EQ(number, Variant("25"));
  object().GetmaxNumbersrv("B", number, 1, err);
  EXPECT_TRUE(number.IsNull());
  object().GetmaxNumbersrv("nobody", number, 1, err);
  EXPECT_EQ(number, Variant(""));
  EXPECT_EQ(Rows("select count(*) from SNrulemain"), (Table{{"2"}}));
  EXPECT_EQ(err, "-");
}

const std::vector<std::string> kHostileTexts = {
    "O'Brien", "A&B", "<row/>", "序列号规则", "x'); delete from SNrule; --", "\"q\" & 'a' < 'b'"};

// Texts that would break statements assembled by splicing are stored and read
// back unchanged.
TEST_P(RuleLookup, HostileRuleTextsRoundTrip) {
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

INSTANTIATE_TEST_SUITE_P(Backends, RuleLookup, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
