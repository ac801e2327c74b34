// Saving and deleting rules: headers, segments, running numbers, shared
// settings of mapped types and the regeneration of their mapping rows; and
// reading an owner's rule and reading and setting its running number, with
// texts of every kind.

#include "tests/maintenance/fixture.h"
#include "tests/support/held_transaction.h"

namespace quillet::testing {
namespace {

using RuleSave = DatabaseTest;

const std::vector<SegmentSpec> kFixedAndNumber = {{"1", "9", "SN", "2"},
                                                  {"2", "10", "100", "4", "0", "", "1"}};

TEST_P(RuleSave, NewRuleStoresHeaderSegmentsAndStartValue) {
  EXPECT_EQ(Save(kFixedAndNumber, "I001", 1, "R1", "Bolt"), "-");
  EXPECT_EQ(Rows("select cinvcode,cinvtype,cinvname,rulename,cnumber from SNrulemain"),
            (Table{{"I001", "1", "Bolt", "R1", "100"}}));
  EXPECT_EQ(
      Rows("select crulename,igrade,cdatasrctype,cdatasrcformat,iformatlength,cpatchsign,"
           "isteplength from SNrule where cinvcode='I001' and cinvtype='1' order by igrade"),
      (Table{{"R1", "1", "9", "SN", "2", "0", "0"}, {"R1", "2", "10", "100", "4", "0", "1"}}));
}

TEST_P(RuleSave, ValuesAreTrimmedButStoredAsGiven) {
  Save({{" 1 ", "9 ", " A B ", " 3", "  ", "", "0"}, {"2", "9", "", " ", "", "", ""}}, "I001", 1,
       "R1");
  // An empty whole number is stored as 0, as the host database reads it.
  EXPECT_EQ(Rows("select igrade,cdatasrctype,cdatasrcformat,iformatlength,cpatchsign,isteplength"
                 " from SNrule order by igrade"),
            (Table{{"1", "9", "A B", "3", "", "0"}, {"2", "9", "", "0", "", "0"}}));
}

struct SecondSaveCase {
  const char* stored;
  const char* start;
  const char* expected;
};

TEST_P(RuleSave, SecondSaveKeepsStoredNumberOrTakesStartValue) {
  for (const SecondSaveCase& c : {SecondSaveCase{"57", "1", "57"}, SecondSaveCase{"", "5", "5"}}) {
    SCOPED_TRACE(c.stored);
    Exec("delete from SNrulemain");
    Exec(
        "insert into SNrulemain (cinvcode,cinvtype,cinvname,rulename,cnumber)"
        " values ('I001',1,'Old','OLD',:1)",
        {std::string(c.stored)});
    Exec(
        "insert into SNrule (crulename,cinvcode,cinvtype,igrade,cdatasrctype,iformatlength)"
        " values ('OLD','I001',1,1,9,2)");
    Save({{"1", "10", c.start, "3"}}, "I001", 1, "NEW", "New");
    EXPECT_EQ(Rows("select cinvname,rulename,cnumber from SNrulemain"),
              (Table{{"New", "NEW", c.expected}}));
    // Old segments go by owner, whatever their rule name.
    EXPECT_EQ(Rows("select crulename,cdatasrctype from SNrule"), (Table{{"NEW", "10"}}));
  }
}

TEST_P(RuleSave, NameOfAnotherOwnerChangesNothing) {
  Save(kFixedAndNumber, "I001", 1, "R1");
  for (const auto& [code, type] : {std::pair<std::string, int16_t>{"I002", 1}, {"I001", 0}}) {
    const Table headers = Rows("select * from SNrulemain");
    const Table segments = Rows("select * from SNrule order by igrade");
    const std::string err = Save({{"1", "9", "X", "1"}}, code, type, "R1");
    EXPECT_NE(err.find("R1"), std::string::npos) << err;
    EXPECT_EQ(Rows("select * from SNrulemain"), headers);
    EXPECT_EQ(Rows("select * from SNrule order by igrade"), segments);
  }
}

// A mapped type's settings are shared: saving one rule changes them in every
// rule and rebuilds the generated mapping rows; a type written untrimmed is
// not the mapped type, and changes neither.
TEST_P(RuleSave, SharedSettingsReachEveryRuleAndMappingsAreRebuilt) {
  AddSource("2", "department", "cDepCode", "cDepName");
  for (const char* code : {"D1", "D2", "D3"}) AddDepartment(code);
  Save({{"1", "2", "1", "3", "#"}}, "I001", 1, "A");
  Exec("delete from SNContrapose");
  AddMapping("2", "department", "D1", "old", "0");
  AddMapping("2", "department", "D2", "MINE", "1");

  Save({{"1", "2", "2", "4", "0"}, {"2", "9", "X", "1"}}, "I002", 1, "B");
  EXPECT_EQ(Rows("select crulename,cdatasrcformat,iformatlength,cpatchsign from SNrule"
                 " where cdatasrctype=2 order by crulename"),
            (Table{{"A", "2", "4", "0"}, {"B", "2", "4", "0"}}));
  const Table mappings = {
      {"D1", "00D1", "4", "0"}, {"D2", "MINE", "9", "1"}, {"D3", "00D3", "4", "0"}};
  EXPECT_EQ(Mappings("department"), mappings);

  Save({{"1", " 2", "2", "5", "#"}}, "I003", 1, "C");
  EXPECT_EQ(Rows("select crulename,iformatlength,cpatchsign from SNrule where igrade=1"
                 " order by crulename"),
            (Table{{"A", "4", "0"}, {"B", "4", "0"}, {"C", "5", "#"}}));
  EXPECT_EQ(Mappings("department"), mappings);
}

TEST_P(RuleSave, FailingStatementLeavesPreviousRuleIntact) {
  AddSource("2", "department", "cDepCode", "cDepName");
  AddDepartment("D1");
  Save({{"1", "2", "1", "3"}, {"2", "10", "7", "4"}}, "I001", 1, "R1");
  Exec("update SNrulemain set cnumber='42'");
  const Table headers = Rows("select * from SNrulemain");
  const Table segments = Rows("select * from SNrule order by igrade");
  const Table mappings = Mappings("department");

  // The second segment's width is not a number: its insert is rejected after
  // the header and the first segment were written.
  EXPECT_THROW(Save({{"1", "2", "1", "6"}, {"2", "9", "X", "wide"}}, "I001", 1, "R2"), Error);

  EXPECT_EQ(Rows("select * from SNrulemain"), headers);
  EXPECT_EQ(Rows("select * from SNrule order by igrade"), segments);
  EXPECT_EQ(Mappings("department"), mappings);
}

TEST_P(RuleSave, WidthsOutsideTheBoundsAreRefusedBeforeAnyWrite) {
  struct Case {
    SegmentSpec segment;
    bool saved;
  };
  const Case cases[] = {
      {{"1", "9", "A", "255"}, true},        {{"1", "10", "1", "1"}, true},
      {{"1", "10", "1", "255"}, true},       {{"1", "9", "A", "256"}, false},
      {{"1", "8", "", "2147483647"}, false}, {{"1", "2", "1", "-1"}, false},
      {{"1", "10", "1", "0"}, false},        {{"1", "10", "1", ""}, false},
      {{"1", " 10 ", "1", " 0 "}, false},    {{"1", "10", "1", "1e9"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.segment));
    Exec("delete from SNrulemain");
    Exec("delete from SNrule");
    try {
      Save({{"1", "9", "SN-", "3"}, c.segment}, "I001", 1, "R1");
      EXPECT_TRUE(c.saved);
    } catch (const Error& error) {
      EXPECT_FALSE(c.saved) << error.description();
      EXPECT_EQ(error.number(), errc::kWidthOutOfRange) << error.description();
      EXPECT_EQ(Rows("select count(*) from SNrule"), (Table{{"0"}}));
      EXPECT_EQ(Rows("select count(*) from SNrulemain"), (Table{{"0"}}));
    }
  }
}

TEST_P(RuleSave, DeleteTakesHeaderByOwnerAndSegmentsByName) {
  Save({{"1", "9", "A", "1"}}, "I001", 1, "R1");
  Save({{"1", "9", "B", "1"}}, "I002", 1, "R2");
  std::string err = "-";
  object().DelSNRulesrv("I001", 1, "R2", err);
  EXPECT_EQ(err, "-");
  EXPECT_EQ(Rows("select cinvcode from SNrulemain"), (Table{{"I002"}}));
  EXPECT_EQ(Rows("select crulename from SNrule"), (Table{{"R1"}}));
}

// Another owner's save of the same name is under way, not yet committed.
TEST_P(RuleSave, NameTakenByASaveUnderWayIsRefused) {
  HeldTransaction other(connection_string());
  other.db().Execute(
      store::Sql{"insert into SNrulemain (cinvcode,cinvtype,rulename,cnumber)"
                 " values ('I001',1,'R1','')"});
  std::string err = "-";
  other.StartBeside(
      [&] {
        NewObject()->SaveSNRulesrv(RuleDocument("Two", {{"1", "9", "B", "1"}}), "I002", 1, "R1",
                                   err);
      },
      "SNrulemain");
  other.Commit();
  EXPECT_NE(err.find("R1"), std::string::npos) << err;
  EXPECT_EQ(Rows("select cinvcode from SNrulemain where rulename='R1'"), (Table{{"I001"}}));
  EXPECT_TRUE(Rows("select * from SNrule").empty());
}

// Saving a rule again while its items are issued: each issue numbers from the
// rule before or after the save, none fails.
TEST_P(RuleSave, IssueWaitingBesideASaveGoesOn) {
  Save(kFixedAndNumber, "I001", 1, "R1");
  auto values = std::make_shared<XmlDocument>();
  ASSERT_TRUE(values->loadXML("<data><row name='cinvcode' value='I001'/></data>"));
  HeldTransaction lock(connection_string());
  lock.db().Execute(store::Sql{"update SNrulemain set cnumber=cnumber where cinvcode='I001'"});
  lock.StartBeside(
      [&] {
        std::string err;
        NewObject()->SaveSNRulesrv(RuleDocument("Bolt", kFixedAndNumber), "I001", 1, "R1", err);
      },
      "SNrulemain");
  std::string serial;
  lock.StartBeside(
      [&] {
        std::string code, err;
        serial = NewObject()->getSNumber(code, values, err, true);
      },
      "SNrulemain", 2);
  lock.Commit();
  EXPECT_EQ(serial, "SN0100");
  EXPECT_EQ(Rows("select cnumber from SNrulemain"), (Table{{"101"}}));
}

INSTANTIATE_TEST_SUITE_P(Backends, RuleSave, ::testing::ValuesIn(Backends()));

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
