// getLineSNum: the value document built from a document's head and body.
#include <gtest/gtest.h>

#include "tests/generation/rule_fixture.h"

namespace quillet::testing {
namespace {

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
