// The words the tool reads and writes for people: the nearest known word, the
// --db value, the database a message names, and the document line of `issue`
// and `preview` (--date and --set).
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "apps/connection_string.h"
#include "apps/database_message.h"
#include "apps/line_values.h"
#include "apps/nearest_word.h"
#include "apps/options.h"
#include "apps/tool_error.h"
#include "core/value_document.h"

namespace quillet::apps {
namespace {

TEST(CanonicalLocale, ReadsTheLocalesPeopleWrite) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"en", "en-US"},    {"EN-us", "en-US"}, {"en_US", "en-US"}, {"zh", "zh-CN"},
      {"ZH-CN", "zh-CN"}, {"fr-FR", "fr-FR"}, {"", ""},
  };
  for (const auto& [written, meant] : cases) EXPECT_EQ(CanonicalLocale(written), meant) << written;
}

TEST(NearestWord, ClosestWordOrNone) {
  const std::vector<std::string> commands = {"list", "show", "save", "delete"};
  const std::vector<std::string> options = {"--db", "--date", "--locale", "--json"};
  struct Case {
    std::string word;
    const std::vector<std::string>& known;
    std::optional<std::string> nearest;
  };
  const Case cases[] = {
      {"lst", commands, "list"},      // one deletion
      {"SHWO", commands, "show"},     // case and a swap
      {"del", commands, "delete"},    // the only word it begins
      {"s", commands, std::nullopt},  // too short to begin one
      {"sa", commands, "save"},       // s... twice, sa... once
      {"frobnicate", commands, std::nullopt},
      {"--dbb", options, "--db"},
      {"--loc", options, "--locale"},
      {"--", options, std::nullopt},  // dashes alone begin every option
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NearestWord(c.word, c.known), c.nearest) << c.word;
  }
  EXPECT_EQ(DidYouMean("lst", commands), "; did you mean 'list'?");
  EXPECT_EQ(DidYouMean("zzz", commands), "");
}

TEST(ConnectionString, TheSchemeMayBeLeftOut) {
  struct Case {
    std::string value;
    std::string normalized;
  };
  const Case cases[] = {
      {"quillet.db", "sqlite:quillet.db"},
      {"/var/lib/erp/q.db", "sqlite:/var/lib/erp/q.db"},
      {"./mysql:erp", "sqlite:./mysql:erp"},
      {"sqlite:a b.db", "sqlite:a b.db"},
      {"postgresql:dbname=erp", "postgresql:dbname=erp"},
      {"host=/run/pg dbname=erp", "postgresql:host=/run/pg dbname=erp"},
      {"postgres://u@h/erp", "postgres://u@h/erp"},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeConnectionString(c.value), c.normalized);

  for (const std::string bad : {"mysql:erp", "sqlite:", "", "postgres:dbname=x"}) {
    EXPECT_THROW(NormalizeConnectionString(bad), ToolUsage) << bad;
  }
}

TEST(ConnectionString, PlacesNameTheFileOrServerWithoutPasswords) {
  EXPECT_EQ(DatabasePlace("sqlite:q.db"), "SQLite file q.db");
  EXPECT_EQ(DatabasePlace("postgresql:host=h password='a b' dbname=erp"),
            "PostgreSQL host=h dbname=erp");
  EXPECT_EQ(DatabasePlace("postgresql://u:secret@h:5432/erp"),
            "PostgreSQL postgresql://u@h:5432/erp");
}

// Each data source by its name and by its row's name; the value is what
// follows the first '='.
TEST(LineValues, SetReadsSourceNamesAndRowNames) {
  const std::tuple<std::string, int, std::string> cases[] = {{"lot=L7", 1, "L7"},
                                                             {"prdbatchnum=L8", 1, "L8"},
                                                             {"department=0101", 2, "0101"},
                                                             {"workcenter=WC01", 3, "WC01"},
                                                             {"warehouse=W01", 4, "W01"},
                                                             {"whname=W02", 4, "W02"},
                                                             {"clerk=P001", 5, "P001"},
                                                             {"businessclerk=P002", 5, "P002"},
                                                             {"supplier=V001", 6, "V001"},
                                                             {"free1=RD", 20, "RD"},
                                                             {"cfree2=M", 21, "M"},
                                                             {"FREE10=x=y", 35, "x=y"},
                                                             {"department=", 2, ""}};
  for (const auto& [word, type, value] : cases) {
    const LineValues line = ReadLineValues("I", {"2024-05-06", {word}});
    ASSERT_TRUE(line.values.contains(type)) << word;
    EXPECT_EQ(line.values.at(type), value);
  }
}

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

TEST(LineValues, ValuesHoldingMarkupStayValues) {
  const LineValues line = ReadLineValues("A'<&\"B", {"2024-05-06", {"lot=<x y='1'>&"}});
  const auto document = ValueDocument(line, std::nullopt);
  EXPECT_EQ(store::ItemCode(*document), "A'<&\"B");
  EXPECT_EQ(store::RowOfType(*document, 1)->getAttribute("value"), "<x y='1'>&");
  EXPECT_EQ(ValueWords(line), (std::vector<std::string>{"date=2024-05-06", "lot=<x y='1'>&"}));
}

}  // namespace
}  // namespace quillet::apps
