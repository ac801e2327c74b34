// The issuing methods called as a caller calls them: getSNumber (one serial
// number and the running number it leaves stored), getSNrule (the rule parts
// document, read only), getSNbatch (the serial list, its fallback lists and
// the digit limit) and getLineSNum (the value document built from a
// document's head and body).
#include <gtest/gtest.h>

#include "core/mod_language.h"
#include "generation/running_number_lease.h"
#include "tests/generation/rule_fixture.h"
#include "tests/support/held_transaction.h"

namespace quillet::testing {
namespace {

using IssueMethods = IssueTest;

struct SavedCase {
  const char* what;
  std::vector<SegmentRow> rule;
  Text number;           // stored before
  std::string expected;  // "" means the issue fails
  Text stored;           // after the save; nullopt: not read
};

TEST_P(IssueMethods, SavesWhatTheRunningNumberGives) {
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
    if (!c.expected.empty()) {  // the same without saving, and nothing stored
      EXPECT_EQ(Number(Values("X1", {})), c.expected) << c.what << ", not saved";
      EXPECT_EQ(StoredNumber(), *c.number) << c.what << ", not saved";
    }
    EXPECT_EQ(Number(Values("X1", {}), true), c.expected) << c.what;
    if (c.stored) {
      EXPECT_EQ(StoredNumber(), *c.stored) << c.what;
    }
  }
  EXPECT_EQ(Number(Values("NOBODY", {}), true), "") << "an item not in inventory";
}

TEST_P(IssueMethods, ANumberSavedBeforeALaterSegmentFailsStaysSaved) {
  Rule({Running("4", "1"), {"2", "1", "2", "0"}}, "7");
  auto values = Document(
      "<data><row name='cinvcode' value='X1'/>"
      "<row name='department' value='01' itype='2' bHave='false'/></data>");
  EXPECT_EQ(Number(values, true), "");
  EXPECT_EQ(StoredNumber(), "8");
}

TEST_P(IssueMethods, NumberAndPartsWriteTheItemCodeOfTheValueDocument) {
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

TEST_P(IssueMethods, AHeldNumberIsIssuedToNobodyElse) {
  Rule({Running("4", "1")}, "7");
  const RuleOwner owner{"X1", OwnerKind::kItem};
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

// getSNrule: a rule evaluated into the rule parts document, read only.
using Attributes = std::vector<std::string>;  // 前缀 流水 后缀 步长 最大流水 流水位数 err

Attributes AttributesOf(const XmlDocument& parts) {
  Attributes values;
  const auto root = parts.documentElement();
  if (!root) return values;
  for (const char* name : {"前缀", "流水", "后缀", "步长", "最大流水", "流水位数", "err"}) {
    values.push_back(root->getAttribute(name).value_or("<none>"));
  }
  return values;
}

const std::vector<SegmentRow> kFourSegments = {
    {"9", "SN-"},
    {"0", "YYYYMMDD"},
    Running("4"),
    {"9", "-X"},
};

TEST_P(IssueMethods, SplitsTheRuleAroundTheRunningNumber) {
  Rule(kFourSegments, "7");
  const auto values = Values("X1", {{"0", "2024-05-06"}});
  EXPECT_EQ(AttributesOf(*Parts(values)),
            (Attributes{"SN-20240506", "0007", "-X", "1", "7", "4", "0"}));
  EXPECT_EQ(AttributesOf(*Parts(values)), AttributesOf(*Parts(values)));
  EXPECT_EQ(StoredNumber(), "7") << "nothing is advanced";

  Rule(kFourSegments, "12345");
  EXPECT_EQ(AttributesOf(*Parts(values)),
            (Attributes{"SN-20240506", "12345", "-X", "1", "12345", "4", "0"}));
  Rule(kFourSegments, "0012345");  // too wide: the column's own text
  EXPECT_EQ(AttributesOf(*Parts(values))[1], "0012345");
  EXPECT_EQ(AttributesOf(*Parts(values))[4], "12345");
}

TEST_P(IssueMethods, ARuleWithoutOrOnlyARunningNumber) {
  Rule({{"9", "AB"}, {"0", "YYMM"}});
  EXPECT_EQ(AttributesOf(*Parts(Values("X1", {{"0", "2024-05-06"}}))),
            (Attributes{"", "", "AB2405", "", "", "", "0"}));
  Rule({Running("3", "2")}, "5");
  EXPECT_EQ(AttributesOf(*Parts(Values("X1", {}))),
            (Attributes{"", "005", "", "2", "5", "3", "0"}));
}

TEST_P(IssueMethods, FailuresLeaveTheDocumentEmpty) {
  const auto values = Values("X1", {{"0", "2024-05-06"}});
  EXPECT_EQ(Parts(values)->xml(), "") << "no rule anywhere";

  rows.Header("X1", "1", "7");
  EXPECT_EQ(Parts(values)->xml(), "") << "a header without segments";

  Rule({{"9", "it's"}, Running("4")});
  EXPECT_EQ(Parts(values)->xml(), "") << "an apostrophe in a value";
  Rule({{"9", "a<b"}});
  EXPECT_EQ(Parts(values)->xml(), "");

  Rule({Running("4"), Running("4")});
  EXPECT_EQ(Parts(values)->xml(), "") << "a second running number";

  Rule({Running("4", std::nullopt)});
  EXPECT_EQ(Parts(values)->xml(), "") << "a null step";
  Rule({Running("4")}, "x7");
  EXPECT_EQ(Parts(values)->xml(), "") << "a stored number that is not a number";

  Rule({{"9", std::string(32766, 'a')}, Running("1")});
  EXPECT_EQ(Parts(values)->xml(), "") << "the running number ends at character 32767";
  Rule({{"9", std::string(32765, 'a')}, Running("1")});
  EXPECT_NE(Parts(values)->xml(), "");
}

INSTANTIATE_TEST_SUITE_P(Backends, IssueMethods, ::testing::ValuesIn(Backends()));

// getSNbatch: the serial list, its fallback lists and the digit limit.
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

// getLineSNum: the value document built from a document's head and body.
// A record set in the host's XML persistence format with the given rows.
std::shared_ptr<XmlDocument> Rowset(const std::string& rows) {
  return Document(
      "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'"
      " xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"
      " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>"
      "<rs:data>" +
      rows + "</rs:data></xml>");
}

const char* kHeadRow =
    "<z:row ddate='2024-05-06T00:00:00' cdepcode='D1' cwhcode='W1' cpersoncode='P1'"
    " cvencode='V1'/>";
const char* kBodyRow =
    "<z:row cmolotcode='L1' cmworkcentercode='C1' cfree1='f1' cfree2='f2' cfree3='f3'"
    " cfree4='f4' cfree5='f5' cfree6='f6' cfree7='f7' cfree8='f8' cfree9='f9' cfree10='fA'/>";

class LineEntryTest : public IssueTest {
 protected:
  void SetUp() override {
    rows.CodingRule("department", "2");
    rows.Department("D1", "1");
    // Every type with a row, two characters each; "__" for an empty value.
    std::vector<SegmentRow> segments = {{"0", "YYMMDD"}};
    for (const char* type : {"1", "2", "3", "4", "5", "6", "20", "21", "28", "29", "30", "31", "32",
                             "33", "34", "35"}) {
      segments.push_back({type, "9", "2", "0", "_"});
    }
    Rule(segments);
  }

  // getLineSNum for `item`, which it must leave as it is.
  std::string Line(std::string voucher_type, const std::string& body_rows = kBodyRow,
                   const std::string& head_rows = kHeadRow, bool save = false,
                   const std::string& item = "X1") {
    std::string code = item;
    auto head = Rowset(head_rows);
    auto body = Rowset(body_rows);
    std::string serial = object->getLineSNum(code, head, body, voucher_type, save);
    EXPECT_EQ(code, item);
    return serial;
  }
};

TEST_P(LineEntryTest, StandardVoucherTypesReadEveryRow) {
  for (const char* type : {"24", "0411", "0301"}) {
    EXPECT_EQ(Line(type), "240506L1D1C1W1P1V1f1f2f3f4f5f6f7f8f9fA") << type;
  }
}

TEST_P(LineEntryTest, OtherVoucherTypesReadOnlyTheFreeItems) {
  for (const char* type : {"01", "24 ", "", "0302"}) {
    EXPECT_EQ(Line(type), "____________f1f2f3f4f5f6f7f8f9fA") << "'" << type << "'";
  }
}

TEST_P(LineEntryTest, MissingAttributesAndRowsGiveEmptyValues) {
  const std::string body_without_cfree4 =
      "<z:row cmolotcode='L1' cmworkcentercode='C1' cfree1='f1' cfree2='f2' cfree3='f3'"
      " cfree5='f5' cfree6='f6' cfree7='f7' cfree8='f8' cfree9='f9' cfree10='fA'/>";
  EXPECT_EQ(Line("24", body_without_cfree4 + kBodyRow), "240506L1D1C1W1P1V1f1f2f3__f5f6f7f8f9fA");
  EXPECT_EQ(Line("24", kBodyRow, ""), "L1__C1______f1f2f3f4f5f6f7f8f9fA") << "no head row";
}

TEST_P(LineEntryTest, ValuesArriveAsTheyStand) {
  Rule({{"8", {}, "4", "0"}, {"20", {}, "3", "0"}}, "1", "X'&", "1");
  EXPECT_EQ(Line("01", "<z:row cfree1=\"a'&amp;\"/>", "", false, "X'&"), "0X'&a'&");
}

TEST_P(LineEntryTest, SavesOnlyWhenAsked) {
  Rule({Running("3")}, "7");
  EXPECT_EQ(Line("24", "", ""), "007");
  EXPECT_EQ(StoredNumber(), "7");
  EXPECT_EQ(Line("24", "", "", true), "007");
  EXPECT_EQ(StoredNumber(), "8");
}

TEST_P(LineEntryTest, AMissingDocumentIsRaised) {
  std::string code = "X1";
  auto head = Rowset(kHeadRow);
  std::shared_ptr<XmlDocument> body;
  std::string type = "24";
  EXPECT_THROW(object->getLineSNum(code, head, body, type), Error);
}

INSTANTIATE_TEST_SUITE_P(Backends, LineEntryTest, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
