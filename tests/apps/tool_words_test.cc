// The words the tool reads and writes for people: the segment and owner
// notations (every data source type, the way back from the canonical word,
// escapes, and the messages for bad words), the nearest known word, the --db
// value, the database a message names, and the document line of `issue` and
// `preview` (--date and --set).
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "apps/cli/connection_string.h"
#include "apps/cli/database_message.h"
#include "apps/cli/options.h"
#include "apps/cli/tool_error.h"
#include "apps/tool/line_options.h"
#include "core/nearest_word.h"
#include "core/segment_notation.h"
#include "core/value_document.h"
#include "numbering/line_document.h"
#include "quillet/numbering.h"

namespace quillet::tool {

using cli::CanonicalLocale;
using cli::DatabaseMessage;
using cli::DatabasePlace;
using cli::NormalizeConnectionString;
using cli::ToolUsage;
using notation::DidYouMean;
using notation::FormatSegment;
using notation::NearestWord;
using notation::NotationError;
using notation::ParseSegment;
using notation::Segment;
using notation::SourceType;

void PrintTo(const Segment& s, std::ostream* os) {
  *os << "{type " << s.type << ", format '" << s.format << "', width " << s.width << ", pad '"
      << s.pad << "', fill '" << s.fill << "', step " << s.step << "}";
}

namespace {

struct SourceCase {
  std::string word;     // as a user writes it
  Segment segment;      // what it means
  std::string written;  // the canonical word FormatSegment gives
};

// One case per data source type, each with the settings that type uses: read
// from the word, written canonically, and read back from that.
TEST(SegmentNotation, EveryDataSourceReadAndWrittenCanonically) {
  std::vector<SourceCase> cases = {
      {"date=YYYYMMDD", {0, "YYYYMMDD", 0, "", "", 0}, "date=YYYYMMDD"},
      {"lot,width=6,fill=0", {1, "", 6, "", "0", 0}, "lot,width=6,fill=0"},
      {"department=1,width=2,pad=0,fill=*",
       {2, "1", 2, "0", "*", 0},
       "department=1,width=2,pad=0,fill=*"},
      {"workcenter,width=4", {3, "", 4, "", "", 0}, "workcenter,width=4"},
      {"warehouse,width=3,pad=#", {4, "", 3, "#", "", 0}, "warehouse,width=3,pad=#"},
      {"clerk,width=4,fill=-", {5, "", 4, "", "-", 0}, "clerk,width=4,fill=-"},
      {"supplier,width=4", {6, "", 4, "", "", 0}, "supplier,width=4"},
      {"class=2,width=4", {7, "2", 4, "", "", 0}, "class=2,width=4"},
      {"item,width=9", {8, "", 9, "", "", 0}, "item,width=9"},
      {"text=SN-", {9, "SN-", 0, "", "", 0}, "text=SN-"},
      {"number,width=4,step=1,start=1", {10, "1", 4, "", "", 1}, "number,width=4,step=1,start=1"},
      {"number,width=5", {10, "1", 5, "", "", 1}, "number,width=5,step=1,start=1"},
      {"number,start=100,step=5,width=3",
       {10, "100", 3, "", "", 5},
       "number,width=3,step=5,start=100"},
      {"free10,width=2,format=AB", {35, "AB", 2, "", "", 0}, "free10,width=2,format=AB"},
      {"type13", {13, "", 0, "", "", 0}, "type13"},
      {"Department=2,WIDTH=2", {2, "2", 2, "", "", 0}, "department=2,width=2"},
      {"date", {0, "", 0, "", "", 0}, "date"},
      {"text=A,width=1,step=-2", {9, "A", 1, "", "", -2}, "text=A,width=1,step=-2"},
      // The numbering policies ride on the running number, printed when on.
      {"number,width=4,Restart=Month,end=9999,warn=9000,unique=YES",
       {10, "1", 4, "", "", 1, {Restart::kMonth, 9999, 9000, false, true}},
       "number,width=4,step=1,start=1,restart=month,end=9999,warn=9000,unique=yes"},
      {"number,width=2,restart=never,journal=yes,unique=no",
       {10, "1", 2, "", "", 1, {Restart::kNever, std::nullopt, std::nullopt, true, false}},
       "number,width=2,step=1,start=1,journal=yes"},
      {"number,width=3,Check=MOD97",
       {10,
        "1",
        3,
        "",
        "",
        1,
        {Restart::kNever, std::nullopt, std::nullopt, false, false, CheckMethod::kMod97}},
       "number,width=3,step=1,start=1,check=mod97"},
  };
  // The free items 1 to 10 are types 20, 21 and 28 to 35.
  int free_item = 0;
  for (int type : {20, 21, 28, 29, 30, 31, 32, 33, 34}) {
    const std::string word = "free" + std::to_string(++free_item) + ",width=1";
    cases.push_back({word, {type, "", 1, "", "", 0}, word});
  }
  for (const SourceCase& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(ParseSegment(c.word), c.segment);
    EXPECT_EQ(FormatSegment(c.segment), c.written);
    EXPECT_EQ(ParseSegment(c.written), c.segment);
  }
}

// Values holding the notation's own characters, blanks, control characters
// and text beyond ASCII come back unchanged from their canonical word.
TEST(SegmentNotation, AnyCharacterSurvivesTheWayBack) {
  const std::vector<Segment> segments = {
      {9, "a,b=c\\d", 0, "", "", 0},
      {9, "line\nfeed\ttab\rreturn", 0, "", "", 0},
      {9, std::string("nul\x01\x1F\x7F", 6), 0, "", "", 0},
      {9, "星野-台灯 ", 0, "", "", 0},
      {2, "1", 2, ",", "=", 0},
      {1, "", 3, "\\", "星", 0},
      {0, "YY=MM,DD", 0, "", "", 0},
      {4, "x,y", 3, "", "", 0},
  };
  for (const Segment& segment : segments) {
    const std::string word = FormatSegment(segment);
    EXPECT_EQ(word.find_first_of("\n\r\t"), std::string::npos) << word;
    EXPECT_EQ(ParseSegment(word), segment) << word;
  }
}

TEST(SegmentNotation, ReadsEscapes) {
  EXPECT_EQ(ParseSegment(R"(text=\u{2C}\u{661F}\,\=\\)").format, ",星,=\\");
  EXPECT_EQ(ParseSegment("text=a=b").format, "a=b");  // only the first '=' splits
  EXPECT_EQ(ParseSegment(R"(lot,width=2,fill=\n)").fill, "\n");
  EXPECT_EQ(SourceType("type2"), 2);  // a named type written by number
  EXPECT_EQ(SourceType("dept"), std::nullopt);
}

// Each bad word is refused with a message that names its bad part.
TEST(SegmentNotation, MalformedWordsNameTheBadPart) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "empty segment"},
      {"dept=1,width=2", "unknown data source 'dept'"},
      {",width=2", "no data source"},
      {"department=1", "department needs a width"},
      {"number", "number needs a width"},
      {"lot,width=two", "width 'two' is not a whole number"},
      {"lot,width=-1", "width -1 is below 0"},
      {"lot,width=99999999999", "width '99999999999' is not a whole number"},
      {"number,width=4,step=1.5", "step '1.5' is not a whole number"},
      {"number,width=4,start=A1", "start 'A1' is not a whole number"},
      {"department=top,width=2", "department level 'top'"},
      {"lot=5,width=2", "lot takes no value after '='"},
      {"number=1,width=2", "number takes no value after '='"},
      {"text=A,format=B", "text takes its fixed text after '='"},
      {"lot,width=2,start=1", "use format="},
      {"number,width=2,format=1", "use start="},
      {"lot,width=2,wdth=3", "unknown setting 'wdth'"},
      {"lot,width=2,width=3", "width is given twice"},
      {"lot,width", "setting 'width' needs a value"},
      {"lot,,width=2", "empty setting between commas"},
      {"text=a\\", "a '\\' at the end escapes nothing"},
      {"text=a\\q", "unknown escape '\\q'"},
      {"text=\\u2C", "'\\u' must be followed by {HEX}"},
      {"text=\\u{D800}", "'\\u{D800}' is not a character"},
      {"text=\\u{XYZ}", "'\\u{XYZ}' is not a character"},
      {"text=a\\u{0}b", "'\\u{0}' (NUL) cannot be part of a value"},
      {"lot,width=256", "lot width 256 is outside 0 to 255"},
      {"item,width=2147483647", "width 2147483647 is outside"},
      {"number,width=0", "number width 0 is outside 1 to 255"},
      {"number,width=2,restart=week", "restart 'week' is not one of"},
      {"number,width=2,end=9e3", "end '9e3' is not a whole number"},
      {"number,width=2,unique=1", "unique '1' is not yes or no"},
      {"lot,width=2,restart=year", "restart is a setting of the running number"},
      {"number,width=2,check=mod11", "check 'mod11' is not one of mod10, luhn, mod97"},
      {"text=A,check=luhn", "check is a setting of the running number"},
  };
  for (const auto& [word, message] : cases) {
    try {
      ParseSegment(word);
      ADD_FAILURE() << "accepted: '" << word << "'";
    } catch (const NotationError& error) {
      EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
    }
  }
}

TEST(OwnerNotation, ReadsAndWritesTheThreeKinds) {
  EXPECT_EQ(ParseOwner("item:LW-DL-100"), (RuleOwner{"LW-DL-100", OwnerKind::kItem}));
  EXPECT_EQ(ParseOwner("class:01"), (RuleOwner{"01", OwnerKind::kClass}));
  EXPECT_EQ(ParseOwner("CLASS:0101"), (RuleOwner{"0101", OwnerKind::kClass}));
  EXPECT_EQ(ParseOwner("all"), (RuleOwner{"all", OwnerKind::kAll}));
  EXPECT_EQ(ParseOwner("item:a:b"),
            (RuleOwner{"a:b", OwnerKind::kItem}));  // the code is taken whole
  for (const std::string word : {"item:X", "class:01", "all"}) {
    EXPECT_EQ(FormatOwner(ParseOwner(word)), word);
  }
}

TEST(OwnerNotation, RefusesWordsThatNameNoOwner) {
  for (const std::string word : {"", "LW-DL-100", "shelf:1", "item:", "class:"}) {
    EXPECT_THROW(ParseOwner(word), Failure) << word;
  }
}

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
  const std::tuple<std::string, DataSource, std::string> cases[] = {
      {"lot=L7", DataSource::kLot, "L7"},
      {"prdbatchnum=L8", DataSource::kLot, "L8"},
      {"department=0101", DataSource::kDepartment, "0101"},
      {"workcenter=WC01", DataSource::kWorkCenter, "WC01"},
      {"warehouse=W01", DataSource::kWarehouse, "W01"},
      {"whname=W02", DataSource::kWarehouse, "W02"},
      {"clerk=P001", DataSource::kClerk, "P001"},
      {"businessclerk=P002", DataSource::kClerk, "P002"},
      {"supplier=V001", DataSource::kSupplier, "V001"},
      {"free1=RD", DataSource::kFree1, "RD"},
      {"cfree2=M", DataSource::kFree2, "M"},
      {"FREE10=x=y", DataSource::kFree10, "x=y"},
      {"department=", DataSource::kDepartment, ""}};
  for (const auto& [word, source, value] : cases) {
    const auto values = LineValuesOf(LineOfOptions("I", {"2024-05-06", {word}}));
    ASSERT_TRUE(values.contains(source)) << word;
    EXPECT_EQ(values.at(source), value);
  }
}

std::string DateOf(const ValueOptions& options) {
  return LineValuesOf(LineOfOptions("I", options)).at(DataSource::kDate);
}

TEST(LineValues, TheDateComesFromDateOrSetElseToday) {
  EXPECT_EQ(DateOf({"2024-05-06 08:09:10", {}}), "2024-05-06 08:09:10");
  EXPECT_EQ(DateOf({std::nullopt, {"date=2024-05-06T08:09"}}), "2024-05-06T08:09");
  EXPECT_EQ(DateOf({"2024-02-29", {}}), "2024-02-29");  // a leap year
  const std::string today = DateOf({});
  EXPECT_TRUE(std::regex_match(today, std::regex(R"(\d{4}-\d{2}-\d{2})"))) << today;
}

TEST(LineValues, RefusesWhatNoDocumentLineHolds) {
  // The refusals with their messages and exit status are checked through the
  // tool itself; these are the ones it does not repeat.
  const std::vector<ValueOptions> refused = {
      {"2024-5-6", {}},
      {"2024-02-30x", {}},
      {"2024-13-01", {}},
      {"2026-02-30", {}},
      {"2026-02-29", {}},
      {"2024-04-31", {}},
      {"2024-05-06", {"department"}},
      {"2024-05-06", {"date=2024-05-07"}}};  // the date twice
  for (const ValueOptions& options : refused) {
    bool refused_as_written = false;
    try {
      LineOfOptions("I", options);
    } catch (const ToolUsage&) {
      refused_as_written = true;
    } catch (const Failure& failure) {
      refused_as_written = failure.kind() == FailureKind::kInvalidRequest;
    }
    EXPECT_TRUE(refused_as_written)
        << options.date.value_or("") << " " << (options.sets.empty() ? "" : options.sets[0]);
  }
}

TEST(LineValues, ValuesHoldingMarkupStayValues) {
  const Line line = LineOfOptions("A'<&\"B", {"2024-05-06", {"lot=<x y='1'>&"}});
  const auto document = numbering::ValueDocument(line.item, numbering::LineValuesByType(line));
  EXPECT_EQ(ItemCode(*document), "A'<&\"B");
  EXPECT_EQ(RowOfType(*document, 1)->getAttribute("value"), "<x y='1'>&");
  EXPECT_EQ(ValueWords(line), (std::vector<std::string>{"date=2024-05-06", "lot=<x y='1'>&"}));
}

}  // namespace
}  // namespace quillet::tool
