// The typed interface on every backend: what an issue answers (the serial
// numbers, the rule and the owners asked, or the reason there are none),
// each refusal as its kind and number with nothing changed, and every number
// handed out once to callers in threads and processes.
#include "quillet/numbering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "quillet/quillet.h"
#include "quillet/xml_document.h"
#include "store/connection.h"
#include "tests/support/backends.h"
#include "tests/support/issuers.h"
#include "tests/support/typed_rules.h"

namespace quillet {
namespace {

using testing::Segments;
using testing::TestDatabase;

constexpr const char* kDate = "2024-05-06";

std::vector<RuleOwner> Owners(std::initializer_list<const char*> words) {
  std::vector<RuleOwner> owners;
  for (const char* word : words) owners.push_back(ParseOwner(word));
  return owners;
}

class NumberingTest : public ::testing::TestWithParam<std::string> {
 protected:
  Numbering Open() { return testing::OpenAs(db.connection_string()); }

  TestDatabase db{GetParam(), /*with_demo=*/true};
};

struct IssueCase {
  std::string what;
  IssueRequest request;
  std::vector<std::string> serials;  // empty: `reason` holds the reason
  std::string owner;                 // "" for none
  std::string rule;
  std::vector<RuleOwner> checked;
  std::string reason{};  // a part of it
};

// In order: each case sees the numbers the ones before it saved.
TEST_P(NumberingTest, AnIssueSaysWhichRuleAnsweredOrWhyNone) {
  Numbering numbering = Open();
  numbering.SaveRule({ParseOwner("item:LW-CL-200"), "Clip",
                      Segments({"text=C-", "warehouse,width=3", "number,width=3"})});
  const std::vector<IssueCase> cases = {
      {"an item's own rule",
       {.item = "LW-DL-100", .date = kDate},
       {"AST-20240506-0001"},
       "item:LW-DL-100",
       "Aster desk lamp",
       Owners({"item:LW-DL-100"})},
      {"a class rule found above the item's class",
       {.item = "LW-FL-300", .date = kDate, .values = {{"department", "0101"}}, .save = true},
       {"LW0120240506"
        "0001"},
       "class:01",
       "Lighting",
       Owners({"item:LW-FL-300", "class:0102001", "class:0102", "class:01"})},
      {"the next issue goes on",
       {.item = "LW-FL-300", .date = kDate, .save = true},
       {"LWXX20240506"
        "0002"},
       "class:01",
       "Lighting",
       Owners({"item:LW-FL-300", "class:0102001", "class:0102", "class:01"})},
      {"a batch of the rule of all",
       {.item = "LW-DR-012", .date = kDate, .count = 3, .save = true},
       {"202405060001", "202405060002", "202405060003"},
       "all",
       "General",
       Owners({"item:LW-DR-012", "class:0201001", "class:0201", "class:02", "all"})},
      {"an unknown item",
       {.item = "NOPE", .date = kDate},
       {},
       "",
       "",
       Owners({"item:NOPE"}),
       "there is no item NOPE"},
      {"a value the rule needs",
       {.item = "LW-CL-200", .date = kDate},
       {},
       "item:LW-CL-200",
       "Clip",
       Owners({"item:LW-CL-200"}),
       "needs a value: give the line a value for warehouse, or give the segment a fill sign"},
  };
  for (const IssueCase& c : cases) {
    SCOPED_TRACE(c.what);
    const IssueResult result = numbering.Issue(c.request);
    EXPECT_EQ(result.serial_numbers, c.serials);
    EXPECT_EQ(result.owner ? FormatOwner(*result.owner) : "", c.owner);
    EXPECT_EQ(result.rule, c.rule);
    EXPECT_EQ(result.checked_owners, c.checked);
    EXPECT_EQ(result.saved, c.request.save && !c.serials.empty());
    ASSERT_EQ(result.reason.has_value(), c.serials.empty());
    if (result.reason) {
      EXPECT_NE(result.reason->text.find(c.reason), std::string::npos);
    }
  }
  EXPECT_EQ(numbering.GetRunningNumber(ParseOwner("class:01")).next_number, "3");
  EXPECT_EQ(numbering.GetRunningNumber(RuleOwner::All()).next_number, "4");
}

// A numbering policy's refusal is a reason with its number, and the preview
// shows the number an issue with saving would take.
TEST_P(NumberingTest, APolicyRefusesWithItsNumber) {
  Numbering numbering = Open();
  numbering.SaveRule(
      {RuleOwner::All(), "General", Segments({"text=G", "number,width=2,end=2,journal=yes"})});
  const IssueRequest saving{.item = "LW-DR-012", .date = kDate, .save = true};
  EXPECT_EQ(numbering.Issue(saving).serial_numbers, std::vector<std::string>{"G01"});
  EXPECT_EQ(numbering.Preview({"LW-DR-012", kDate, {}}).serial_number, "G02");
  EXPECT_EQ(numbering.Issue(saving).serial_numbers, std::vector<std::string>{"G02"});
  const IssueResult refused = numbering.Issue(saving);
  ASSERT_TRUE(refused.reason);
  EXPECT_EQ(refused.reason->number, errc::kPastEnd);
  const std::vector<JournalEntry> journal = numbering.Journal({.owner = RuleOwner::All()});
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal.back().serial_number, "G02");
  EXPECT_EQ(journal.back().user, "tester");
}

// A rule that starts again every month keeps a counter per month: the
// running number of a line is that counter's.
TEST_P(NumberingTest, ARestartingRuleNumbersByThePeriodOfTheLine) {
  Numbering numbering = Open();
  numbering.SaveRule(
      {RuleOwner::All(), "General", Segments({"date=YYMM-", "number,width=3,restart=month"})});
  const Line may{"LW-DR-012", kDate, {}};
  numbering.SetRunningNumber({RuleOwner::All(), 40, may});
  EXPECT_EQ(numbering.Issue({.item = "LW-DR-012", .date = kDate, .save = true}).serial_numbers,
            std::vector<std::string>{"2405-040"});
  const RunningNumber number = numbering.GetRunningNumber(RuleOwner::All(), may);
  EXPECT_EQ(number.counter, "2024-05");
  EXPECT_EQ(number.next_number, "41");
  EXPECT_EQ(numbering.GetRunningNumber(RuleOwner::All(), {"", "2024-06-01", {}}).next_number, "1");
}

struct RefusalCase {
  std::string what;
  std::function<void(Numbering&)> call;
  FailureKind kind;
  int32_t number;
};

// What the rules and running numbers are: a refused call must not move it.
std::string Snapshot(Numbering& numbering) {
  std::string text;
  for (const Rule& rule : numbering.Rules().rules) {
    text += FormatOwner(rule.owner) + " " + rule.name + " " + rule.next_number + ":";
    for (const Segment& segment : rule.segments) text += " " + FormatSegment(segment);
    text += "\n";
  }
  return text;
}

TEST_P(NumberingTest, EachRefusalHasItsKindAndChangesNothing) {
  Numbering numbering = Open();
  const std::vector<RefusalCase> cases = {
      {"a word that names no owner", [](Numbering&) { ParseOwner("shelf:1"); },
       FailureKind::kInvalidRequest, errc::kBadOwner},
      {"a day February does not have",
       [](Numbering& n) { n.Issue({.item = "LW-DL-100", .date = "2026-02-29", .save = true}); },
       FailureKind::kInvalidRequest, errc::kBadRequest},
      {"a value no line holds",
       [](Numbering& n) {
         n.Issue({.item = "LW-DL-100", .values = {{"colour", "red"}}});
       },
       FailureKind::kInvalidRequest, errc::kBadRequest},
      {"an empty batch", [](Numbering& n) { n.Issue({.item = "LW-DL-100", .count = 0}); },
       FailureKind::kInvalidRequest, errc::kBadRequest},
      {"two running numbers",
       [](Numbering& n) {
         n.SaveRule({RuleOwner::All(), "G", Segments({"number,width=2", "number,width=2"})});
       },
       FailureKind::kInvalidRequest, errc::kBadRequest},
      {"an unknown item", [](Numbering& n) { n.GetRule(ParseOwner("item:NOPE")); },
       FailureKind::kNotFound, errc::kUnknownOwner},
      {"a class without a rule", [](Numbering& n) { n.DeleteRule(ParseOwner("class:0102")); },
       FailureKind::kNotFound, errc::kNoOwnRule},
      {"a value a source does not have",
       [](Numbering& n) {
         n.SetMappingCode({DataSource::kDepartment, "99", "X"});
       },
       FailureKind::kNotFound, errc::kNotFound},
      {"a source without mappings", [](Numbering& n) { n.Mappings(DataSource::kLot); },
       FailureKind::kInvalidRequest, errc::kBadRequest},
      {"a name another owner's rule has",
       [](Numbering& n) {
         n.SaveRule({RuleOwner::All(), "Lighting", Segments({"number,width=4"})});
       },
       FailureKind::kConflict, errc::kSharedRuleName},
      {"a step that repeats numbers",
       [](Numbering& n) {
         n.SaveRule({RuleOwner::All(), "G", Segments({"number,width=4,step=0"})});
       },
       FailureKind::kGuarded, errc::kGuarded},
      {"a running number set back",
       [](Numbering& n) { n.SetRunningNumber({.owner = RuleOwner::All(), .next_number = 0}); },
       FailureKind::kGuarded, errc::kGuarded},
      {"a time that is none", [](Numbering& n) { n.Journal({.since = "garbage"}); },
       FailureKind::kInvalidRequest, errc::kBadRequest},
  };
  const std::string before = Snapshot(numbering);
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.call(numbering);
      ADD_FAILURE() << "not refused";
    } catch (const Failure& failure) {
      EXPECT_EQ(FailureKindName(failure.kind()), FailureKindName(c.kind)) << failure.what();
      EXPECT_EQ(failure.number(), c.number) << failure.what();
    }
  }
  EXPECT_EQ(Snapshot(numbering), before);
}

// A database that cannot be used, and a database's own error with its code.
TEST_P(NumberingTest, DatabaseFailuresCarryTheDatabasesCode) {
  const auto kind_of_open = [](const std::string& connection_string) {
    try {
      Numbering::Open(connection_string);
    } catch (const Failure& failure) {
      return failure.kind();
    }
    return FailureKind::kDatabase;
  };
  EXPECT_EQ(kind_of_open("mysql:erp"), FailureKind::kInvalidRequest);
  EXPECT_EQ(kind_of_open("sqlite:" + testing::TempPath("missing.db")), FailureKind::kNotFound);

  Numbering numbering = Open();
  db.db().Execute(store::Sql{"drop table SNrule"});
  try {
    numbering.FindRule(RuleOwner::All());
    ADD_FAILURE() << "not refused";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.kind(), FailureKind::kDatabase);
    if (GetParam() == "postgresql") {
      EXPECT_EQ(failure.sqlstate(), "42P01");
    } else {
      EXPECT_EQ(failure.sqlite_code(), 1);
    }
  }
}

// A stored value the interface cannot read (a step past 32 bits, which
// SQLite keeps and PostgreSQL refuses) keeps no other rule from the list.
TEST_P(NumberingTest, ARuleThatCannotBeReadIsListedApart) {
  auto rule = std::make_shared<XmlDocument>();
  rule->loadXML(
      "<rule cinvname='Floor lamps'><row igrade='1' cdatasrctype='9' cdatasrcformat='FL' "
      "iformatlength='2' cpatchsign='' creplacesign='' isteplength='0'/>"
      "<row igrade='2' cdatasrctype='10' cdatasrcformat='1' iformatlength='4' cpatchsign='0' "
      "creplacesign='' isteplength='99999999999'/></rule>");
  std::string message;
  bool stored = true;
  try {
    db.NewObject()->SaveSNRulesrv(rule, "0102", 0, "Floor lamps", message);
  } catch (const Error&) {
    stored = false;
  }
  EXPECT_EQ(stored, GetParam() == "sqlite");
  const RuleList list = Open().Rules();
  EXPECT_EQ(list.rules.size(), 3u);  // the demo company's
  ASSERT_EQ(list.unreadable.size(), stored ? 1u : 0u);
  if (stored) {
    EXPECT_EQ(list.unreadable[0].owner, ParseOwner("class:0102"));
    EXPECT_EQ(list.unreadable[0].name, "Floor lamps");
  }
}

// An issue whose numbers would be lost to the caller (a serial number that
// repeats an earlier one, a batch list that cannot be read back) is refused
// with its reason before the running number moves.
TEST_P(NumberingTest, RefusesAnIssueThatWouldBeLost) {
  struct LossCase {
    std::string what;
    std::vector<Segment> segments;
    std::optional<int32_t> count;
    int32_t number;
  };
  const std::vector<LossCase> cases = {
      {"a single number past its digits", Segments({"text=W-", "number,width=1"}), std::nullopt,
       errc::kWouldWrap},
      {"the same under a policy", Segments({"text=W-", "number,width=1,end=50"}), std::nullopt,
       errc::kWouldWrap},
      {"a batch whose text holds &", Segments({"text=A&amp;B-", "number,width=4"}), 3,
       errc::kXmlInvalid},
      {"a batch whose text holds &lt;", Segments({"text=A&lt;B-", "number,width=4"}), 2,
       errc::kXmlInvalid},
  };
  Numbering numbering = Open();
  const RuleOwner owner = ParseOwner("item:LW-DL-100");
  for (const LossCase& c : cases) {
    SCOPED_TRACE(c.what);
    numbering.SaveRule({owner, "Lost", c.segments, /*force=*/true});
    numbering.SetRunningNumber({.owner = owner, .next_number = 10, .force = true});
    const IssueResult result =
        numbering.Issue({.item = "LW-DL-100", .date = kDate, .count = c.count, .save = true});
    EXPECT_TRUE(result.serial_numbers.empty());
    ASSERT_TRUE(result.reason);
    EXPECT_EQ(result.reason->number, c.number) << result.reason->text;
    EXPECT_NE(result.reason->text.find("nothing was used up"), std::string::npos);
    EXPECT_EQ(numbering.GetRunningNumber(owner).next_number, "10");
  }
}

// Threads and processes, each with an object of its own, issuing singles
// and batches with saving: every running number comes out once.
TEST_P(NumberingTest, EveryNumberIsIssuedOnce) {
  Open().SaveRule({RuleOwner::All(), "General", Segments({"text=S", "number,width=6"})});
  constexpr int kRounds = 6;
  constexpr int kBatch = 4;
  const std::vector<std::string> issued = testing::IssueTogether(3, 3, [&] {
    Numbering own = Open();
    std::vector<std::string> serials;
    for (int round = 0; round < kRounds; ++round) {
      const std::optional<int32_t> count =
          round % 2 ? std::optional<int32_t>(kBatch) : std::nullopt;
      IssueResult result = own.Issue({.item = "LW-DR-012", .count = count, .save = true});
      if (result.reason) result.serial_numbers.assign(count.value_or(1), "");
      serials.insert(serials.end(), result.serial_numbers.begin(), result.serial_numbers.end());
    }
    return serials;
  });
  const std::size_t total = 6 * (kRounds / 2) * (1 + kBatch);
  ASSERT_EQ(issued.size(), total);
  const std::set<std::string> distinct(issued.begin(), issued.end());
  EXPECT_EQ(distinct.size(), total);
  EXPECT_FALSE(distinct.contains(""));
  EXPECT_EQ(Open().GetRunningNumber(RuleOwner::All()).next_number, std::to_string(total + 1));
}

INSTANTIATE_TEST_SUITE_P(Backends, NumberingTest, ::testing::ValuesIn(testing::Backends()));

}  // namespace
}  // namespace quillet
