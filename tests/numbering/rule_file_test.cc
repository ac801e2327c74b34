// Rule files on every backend: an export imported into an empty database
// exports the same bytes; the import tells its difference, applies it whole,
// and refuses a file it cannot take with a clear error and nothing changed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "quillet/error.h"
#include "quillet/numbering.h"
#include "tests/support/backends.h"
#include "tests/support/typed_rules.h"

namespace quillet {
namespace {

using testing::Segments;
using testing::TestDatabase;

class RuleFileTest : public ::testing::TestWithParam<std::string> {
 protected:
  static Numbering Open(const TestDatabase& on) { return testing::OpenAs(on.connection_string()); }

  // The demo's rules, a rule that restarts with a counter, numbers moved on.
  void Arrange() {
    Numbering n = Open(demo);
    n.SaveRule(
        {ParseOwner("item:LW-CL-200"), "Clip",
         Segments({"text=C\\,1-", "date=YYMM", "number,width=3,restart=month,journal=yes"})});
    n.SetRunningNumber(
        {ParseOwner("item:LW-CL-200"), 7, {.item = "LW-CL-200", .date = "2024-05-06"}});
    n.SetRunningNumber({ParseOwner("class:01"), 42});
  }

  TestDatabase demo{GetParam(), /*with_demo=*/true};
};

struct RoundTrip {
  std::string what;
  ExportRequest request;
};

TEST_P(RuleFileTest, AnExportImportedIntoAnEmptyDatabaseExportsTheSameBytes) {
  Arrange();
  const std::vector<RoundTrip> cases = {
      {"every rule", {}},
      {"with numbers and codes", {.with_numbers = true, .with_codes = true}},
      {"some owners with numbers",
       {.owners = {ParseOwner("item:LW-CL-200"), RuleOwner::All()}, .with_numbers = true}},
  };
  for (const RoundTrip& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = Open(demo).ExportRules(c.request);
    TestDatabase empty{GetParam()};
    Numbering target = Open(empty);
    const ImportResult result = target.ImportRules({file});
    EXPECT_TRUE(result.applied);
    EXPECT_EQ(target.ExportRules(c.request), file);
    // The same file again changes nothing.
    const ImportResult again = target.ImportRules({file});
    EXPECT_FALSE(again.applied);
    for (const RuleFileChange& rule : again.rules) EXPECT_EQ(rule.change, "unchanged");
  }
}

TEST_P(RuleFileTest, TheDifferenceIsToldSegmentBySegment) {
  Arrange();
  Numbering n = Open(demo);
  std::string file = n.ExportRules({.owners = {ParseOwner("class:01")}, .with_numbers = true});
  const std::string from = "\"text=LW,width=2\"";
  file.replace(file.find(from), from.size(), "\"text=LX\"");
  const std::string before = n.ExportRules({.with_numbers = true});
  const ImportResult dry = n.ImportRules({file, /*dry_run=*/true});
  EXPECT_FALSE(dry.applied);
  EXPECT_EQ(n.ExportRules({.with_numbers = true}), before);
  ASSERT_EQ(dry.rules.size(), 1u);
  EXPECT_EQ(dry.rules[0].change, "changed");
  const std::vector<std::string> expected = {"- 1 text=LW,width=2", "+ 1 text=LX"};
  EXPECT_EQ(std::vector<std::string>(dry.rules[0].lines.begin(), dry.rules[0].lines.begin() + 2),
            expected);
  EXPECT_EQ(dry.rules[0].lines.back(), "next number kept 42");
  EXPECT_TRUE(n.ImportRules({file}).applied);
  EXPECT_EQ(n.History({.owner = ParseOwner("class:01")}).back().kind, "save");
}

struct Refusal {
  std::string what;
  std::function<std::string(std::string)> file;  // from the export with numbers
  FailureKind kind;
  int32_t number;
  bool force = false;
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST_P(RuleFileTest, ARefusedFileChangesNothing) {
  Arrange();
  Numbering n = Open(demo);
  const std::string file = n.ExportRules({.with_numbers = true});
  const FailureKind bad = FailureKind::kInvalidRequest;
  const std::vector<Refusal> cases = {
      {"not JSON", [](std::string) { return std::string("{"); }, bad, errc::kBadRuleFile},
      {"no version", [](std::string f) { return Replaced(f, "\"quillet_rules\": 1", "\"x\": 1"); },
       bad, errc::kBadRuleFile},
      {"a member unknown",
       [](std::string f) { return Replaced(f, "\"owner_name\"", "\"owner_nam\""); }, bad,
       errc::kBadRuleFile},
      {"a segment word wrong",
       [](std::string f) { return Replaced(f, "\"text=LW,width=2\"", "\"texts=LW\""); }, bad,
       errc::kBadRuleFile},
      {"two running numbers",
       [](std::string f) { return Replaced(f, "\"text=LW,width=2\"", "\"number,width=2\""); }, bad,
       errc::kBadRuleFile},
      {"a number set back",
       [](std::string f) {
         return Replaced(f, "\"next_number\": \"42\"", "\"next_number\": \"3\"");
       },
       FailureKind::kGuarded, errc::kGuarded},
      {"a name another owner keeps",
       [](std::string f) { return Replaced(f, "\"name\": \"Clip\"", "\"name\": \"Lighting\""); },
       FailureKind::kConflict, errc::kSharedRuleName},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string changed = c.file(file);
    ASSERT_NE(changed, file);
    try {
      n.ImportRules({changed});
      ADD_FAILURE() << "imported";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.kind(), c.kind) << failure.what();
      EXPECT_EQ(failure.number(), c.number) << failure.what();
    }
    EXPECT_EQ(n.ExportRules({.with_numbers = true}), file);
  }
  const std::string back = Replaced(file, "\"next_number\": \"42\"", "\"next_number\": \"3\"");
  EXPECT_TRUE(n.ImportRules({back, false, /*force=*/true}).applied);
}

INSTANTIATE_TEST_SUITE_P(Backends, RuleFileTest, ::testing::ValuesIn(testing::Backends()));

}  // namespace
}  // namespace quillet
