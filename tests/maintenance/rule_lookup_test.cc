// Reading an owner's rule and reading and setting its running number.
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

TEST_P(RuleLookup, RunningNumberReadAsStored) {
  Exec("insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber) values ('A',1,'RA','17')");
  Exec("insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber) values ('B',1,'RB',NULL)");
  std::string err = "-";
  Variant number;
  object().GetmaxNumbersrv("A", number, 1, err);
  EXPECT_EQ(number, Variant("17"));
  object().GetmaxNumbersrv("B", number, 1, err);
  EXPECT_TRUE(number.IsNull());
  object().GetmaxNumbersrv("A", number, 0, err);
  EXPECT_EQ(number, Variant(""));
  EXPECT_EQ(err, "-");
}

TEST_P(RuleLookup, RunningNumberSetFromAnyValue) {
  Exec("insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber) values ('all',2,'R','1')");
  struct Case {
    Variant value;
    const char* stored;
  };
  for (const Case& c : {Case{Variant("25"), "25"}, Case{Variant(int32_t{31}), "31"},
                        Case{Variant::Null(), ""}, Case{Variant(), ""}}) {
    Variant value = c.value;
    std::string err = "-";
    object().SavemaxNumbersrv("all", value, 2, err);
    EXPECT_EQ(Rows("select cnumber from SNrulemain"), (Table{{c.stored}}));
    EXPECT_EQ(err, "-");
  }
  Variant value("9");
  std::string err;
  object().SavemaxNumbersrv("nobody", value, 1, err);  // no header: nothing changes
  EXPECT_EQ(Rows("select count(*) from SNrulemain"), (Table{{"1"}}));
}

INSTANTIATE_TEST_SUITE_P(Backends, RuleLookup, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
