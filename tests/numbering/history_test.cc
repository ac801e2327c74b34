// The rule history on every backend: each kind of change, made through the
// typed interface or the old class, leaves exactly one entry with who, whose
// rule and the rule before and after; a refused change leaves none.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "quillet/numbering.h"
#include "quillet/quillet.h"
#include "tests/support/backends.h"
#include "tests/support/typed_rules.h"

namespace quillet {
namespace {

using testing::Segments;
using testing::TestDatabase;

class HistoryTest : public ::testing::TestWithParam<std::string> {
 public:
  Numbering Open() { return testing::OpenAs(db.connection_string()); }

  // The old class signed in as "clerk".
  std::unique_ptr<clsQuillet> OldClass() {
    auto object = std::make_unique<clsQuillet>();
    std::shared_ptr<Login> login =
        std::make_shared<ConfiguredLogin>(db.connection_string(), std::set<std::string>{}, "clerk");
    object->init(login);
    return object;
  }

  TestDatabase db{GetParam(), /*with_demo=*/true};
};

struct ChangeCase {
  std::string what;
  std::function<void(HistoryTest&, Numbering&)> change;
  std::string kind;
  std::string user;
  std::string owner;   // "" for a change of no rule
  std::string before;  // a part of it; "" for none
  std::string after;
};

// In order: each change sees the ones before it.
TEST_P(HistoryTest, EveryChangeLeavesOneEntry) {
  Numbering numbering = Open();
  const RuleOwner clip = ParseOwner("item:LW-CL-200");
  const std::vector<ChangeCase> cases = {
      {"a new rule",
       [&](HistoryTest&, Numbering& n) {
         n.SaveRule({clip, "Clip", Segments({"text=C-", "number,width=3"})});
       },
       "save", "tester", "item:LW-CL-200", "",
       R"("segments":["text=C-","number,width=3,step=1,start=1"],"next_number":"1")"},
      {"a running number set",
       [&](HistoryTest&, Numbering& n) {
         n.SetRunningNumber({clip, 40});
       },
       "number", "tester", "item:LW-CL-200", R"("next_number":"1")", R"("next_number":"40")"},
      {"a rule saved again",
       [&](HistoryTest&, Numbering& n) {
         n.SaveRule({clip, "Clip", Segments({"date=YYMM", "number,width=3,restart=month"})});
       },
       "save", "tester", "item:LW-CL-200", R"("text=C-")", R"(restart=month")"},
      {"a counter of a rule that restarts",
       [&](HistoryTest&, Numbering& n) {
         n.SetRunningNumber({clip, 9, {.item = "LW-CL-200", .date = "2024-05-06"}});
       },
       "number", "tester", "item:LW-CL-200", R"(restart=month")", R"("counters":{"2024-05":9})"},
      {"a mapping code",
       [&](HistoryTest&, Numbering& n) {
         n.SetMappingCode({DataSource::kDepartment, "03", "XY"});
       },
       "code", "tester", "", R"("value":"03")", R"("code":"XY")"},
      {"a rule deleted", [&](HistoryTest&, Numbering& n) { n.DeleteRule(clip); }, "delete",
       "tester", "item:LW-CL-200", R"("name":"Clip")", ""},
      {"the old class's running number",
       [&](HistoryTest& t, Numbering&) {
         std::string error;
         Variant number("77");
         t.OldClass()->SavemaxNumbersrv("01", number, 0, error);
       },
       "number", "clerk", "class:01", R"("owner":"class:01")", R"("next_number":"77")"},
      {"the old class's delete",
       [&](HistoryTest& t, Numbering&) {
         std::string error;
         t.OldClass()->DelSNRulesrv("01", 0, "Lighting", error);
       },
       "delete", "clerk", "class:01", R"("name":"Lighting")", ""},
  };
  std::size_t seen = numbering.History().size();
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.what);
    c.change(*this, numbering);
    const std::vector<HistoryEntry> history = numbering.History();
    ASSERT_EQ(history.size(), seen + 1);
    seen = history.size();
    const HistoryEntry& entry = history.back();
    EXPECT_EQ(entry.kind, c.kind);
    EXPECT_EQ(entry.user, c.user);
    EXPECT_EQ(entry.owner ? FormatOwner(*entry.owner) : "", c.owner);
    EXPECT_EQ(entry.before.empty(), c.before.empty()) << entry.before;
    EXPECT_NE(entry.before.find(c.before), std::string::npos) << entry.before;
    EXPECT_EQ(entry.after.empty(), c.after.empty()) << entry.after;
    EXPECT_NE(entry.after.find(c.after), std::string::npos) << entry.after;
    EXPECT_EQ(entry.changed.size(), 24u) << entry.changed;
  }
  EXPECT_EQ(numbering.History({.owner = clip}).size(), 5u);
  EXPECT_TRUE(numbering.History({.since = "2999-01-01"}).empty());
}

TEST_P(HistoryTest, ARefusedChangeLeavesNoEntry) {
  Numbering numbering = Open();
  const std::size_t before = numbering.History().size();
  const std::vector<std::function<void()>> refused = {
      [&] {
        numbering.SaveRule({RuleOwner::All(), "Lighting", Segments({"number,width=4"})});
      },
      [&] {
        numbering.SetRunningNumber({ParseOwner("class:01"), -5});
      },
      [&] {
        numbering.SetMappingCode({DataSource::kDepartment, "99", "X"});
      },
  };
  for (const auto& change : refused) EXPECT_THROW(change(), Failure);
  EXPECT_EQ(numbering.History().size(), before);
  EXPECT_THROW(numbering.History({.since = "yesterday"}), Failure);
}

INSTANTIATE_TEST_SUITE_P(Backends, HistoryTest, ::testing::ValuesIn(testing::Backends()));

}  // namespace
}  // namespace quillet
