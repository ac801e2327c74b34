// The document line of `issue` and `preview`: --date and --set read into
// values, and the value document the issuing methods find them in.
#include "apps/line_values.h"

#include <gtest/gtest.h>

#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "apps/tool_error.h"
#include "core/value_document.h"

namespace quillet::apps {
namespace {

struct NameCase {
  std::string word;  // --set word
  int type;          // the data source type it gives a value
  std::string value;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.word; }

class SetNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(SetNameTest, ReadsSourceNamesAndRowNames) {
  const LineValues line = ReadLineValues("I", {"2024-05-06", {GetParam().word}});
  ASSERT_TRUE(line.values.contains(GetParam().type)) << GetParam().word;
  EXPECT_EQ(line.values.at(GetParam().type), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SetNameTest,
    ::testing::Values(NameCase{"lot=L7", 1, "L7"}, NameCase{"prdbatchnum=L8", 1, "L8"},
                      NameCase{"department=0101", 2, "0101"},
                      NameCase{"workcenter=WC01", 3, "WC01"}, NameCase{"warehouse=W01", 4, "W01"},
                      NameCase{"whname=W02", 4, "W02"}, NameCase{"clerk=P001", 5, "P001"},
                      NameCase{"businessclerk=P002", 5, "P002"},
                      NameCase{"supplier=V001", 6, "V001"}, NameCase{"free1=RD", 20, "RD"},
                      NameCase{"cfree2=M", 21, "M"}, NameCase{"FREE10=x=y", 35, "x=y"},
                      NameCase{"department=", 2, ""}));

TEST(LineValues, TheDateComesFromDateOrSetElseToday) {
  EXPECT_EQ(ReadLineValues("I", {"2024-05-06 08:09:10", {}}).values.at(0), "2024-05-06 08:09:10");
  EXPECT_EQ(ReadLineValues("I", {std::nullopt, {"date=2024-05-06T08:09"}}).values.at(0),
            "2024-05-06T08:09");
  const std::string today = ReadLineValues("I", {}).values.at(0);
  EXPECT_TRUE(std::regex_match(today, std::regex(R"(\d{4}-\d{2}-\d{2})"))) << today;
}

TEST(LineValues, RefusesWhatNoDocumentLineHolds) {
  // The refusals with their messages and exit status are checked through the
  // tool itself; these are the ones it does not repeat.
  const std::vector<ValueOptions> refused = {
      {"2024-5-6", {}},
      {"2024-02-30x", {}},
      {"2024-13-01", {}},
      {"2024-05-06", {"department"}},
      {"2024-05-06", {"date=2024-05-07"}}};  // the date twice
  for (const ValueOptions& options : refused) {
    EXPECT_THROW(ReadLineValues("I", options), ToolUsage)
        << options.date.value_or("") << " " << (options.sets.empty() ? "" : options.sets[0]);
  }
}

TEST(LineValues, TheValueDocumentHoldsEveryRowTheItemAndTheCount) {
  const LineValues line = ReadLineValues("LW-FL-300", {"2024-05-06", {"department=0101"}});
  const auto document = ValueDocument(line, 3);
  EXPECT_EQ(ItemCode(*document), "LW-FL-300");
  EXPECT_EQ(RowOfType(*document, 0)->getAttribute("value"), "2024-05-06");
  EXPECT_EQ(RowOfType(*document, 2)->getAttribute("value"), "0101");
  EXPECT_EQ(RowOfType(*document, 4)->getAttribute("value"), "");
  EXPECT_EQ(RowOfType(*document, 35)->getAttribute("bHave"), "true");
  EXPECT_EQ(document->documentElement()->getAttribute("count"), "3");
  EXPECT_EQ(ValueDocument(line, std::nullopt)->documentElement()->getAttribute("count"),
            std::nullopt);
}

TEST(LineValues, ValuesHoldingMarkupStayValues) {
  const LineValues line = ReadLineValues("A'<&\"B", {"2024-05-06", {"lot=<x y='1'>&"}});
  const auto document = ValueDocument(line, std::nullopt);
  EXPECT_EQ(ItemCode(*document), "A'<&\"B");
  EXPECT_EQ(RowOfType(*document, 1)->getAttribute("value"), "<x y='1'>&");
  EXPECT_EQ(ValueWords(line), (std::vector<std::string>{"date=2024-05-06", "lot=<x y='1'>&"}));
}

}  // namespace
}  // namespace quillet::apps
