// Voided serial numbers and the gaps of a journal-keeping rule on every
// backend: a void is made once, and the gap report names exactly the running
// numbers that no serial number in use stands for, with the reason, also
// after threads and processes issued and voided at once.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "quillet/error.h"
#include "quillet/numbering.h"
#include "tests/support/backends.h"
#include "tests/support/issuers.h"
#include "tests/support/typed_rules.h"

namespace quillet {
namespace {

using testing::Segments;
using testing::TestDatabase;

constexpr const char* kItem = "LW-DR-012";  // follows the rule of all

int32_t NumberOf(const std::string& serial) { return std::stoi(serial.substr(2)); }

class GapsTest : public ::testing::TestWithParam<std::string> {
 protected:
  Numbering Open(const std::string& user = "tester") {
    return testing::OpenAs(db.connection_string(), user);
  }

  void SaveJournalRule(Numbering& n, const char* number = "number,width=5,journal=yes") {
    n.SaveRule({RuleOwner::All(), "General", Segments({"text=G-", number})});
  }

  std::string IssueOne(Numbering& n) {
    return n.Issue({.item = kItem, .save = true}).serial_numbers.at(0);
  }

  // The gaps as number to reason.
  std::map<int32_t, std::string> GapReasons(Numbering& n) {
    std::map<int32_t, std::string> reasons;
    for (const NumberGap& gap : n.Gaps({RuleOwner::All()}))
      reasons[gap.running_number] = gap.reason;
    return reasons;
  }

  TestDatabase db{GetParam(), /*with_demo=*/true};
};

struct RefusalCase {
  std::string what;
  std::function<void(Numbering&, const std::string& issued)> call;
  FailureKind kind;
  int32_t number;
};

TEST_P(GapsTest, RefusalsSayWhyAndChangeNothing) {
  Numbering numbering = Open();
  SaveJournalRule(numbering);
  const std::string issued = IssueOne(numbering);
  numbering.VoidSerialNumber({issued, "label torn"});
  const std::vector<RefusalCase> cases = {
      {"a second void",
       [](Numbering& n, const std::string& s) {
         n.VoidSerialNumber({s, "again"});
       },
       FailureKind::kConflict, errc::kVoidedBefore},
      {"a serial number never issued",
       [](Numbering& n, const std::string&) {
         n.VoidSerialNumber({"G-99999", "why"});
       },
       FailureKind::kNotFound, errc::kNotFound},
      {"no reason",
       [](Numbering& n, const std::string& s) {
         n.VoidSerialNumber({s, ""});
       },
       FailureKind::kInvalidRequest, errc::kBadRequest},
      {"gaps of a rule without a journal",
       [](Numbering& n, const std::string&) { n.Gaps({ParseOwner("class:01")}); },
       FailureKind::kInvalidRequest, errc::kBadRequest},
      {"gaps of an owner without a rule",
       [](Numbering& n, const std::string&) { n.Gaps({ParseOwner("class:0102")}); },
       FailureKind::kNotFound, errc::kNoOwnRule},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.call(numbering, issued);
      ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.kind(), c.kind) << failure.what();
      EXPECT_EQ(failure.number(), c.number) << failure.what();
    }
  }
  const std::vector<NumberGap> gaps = numbering.Gaps({RuleOwner::All()});
  ASSERT_EQ(gaps.size(), 1u);
  EXPECT_EQ(gaps[0].reason, "voided");
  EXPECT_NE(gaps[0].detail.find("by tester"), std::string::npos) << gaps[0].detail;
  EXPECT_NE(gaps[0].detail.find("label torn"), std::string::npos) << gaps[0].detail;
}

TEST_P(GapsTest, EachReasonIsTold) {
  Numbering numbering = Open();
  SaveJournalRule(numbering);
  IssueOne(numbering);                                          // 1
  numbering.VoidSerialNumber({IssueOne(numbering), "spoilt"});  // 2
  numbering.SetRunningNumber({RuleOwner::All(), 6});            // 3 to 5 jumped
  IssueOne(numbering);                                          // 6
  SaveJournalRule(numbering, "number,width=5");                 // 7 issued unrecorded
  IssueOne(numbering);
  SaveJournalRule(numbering);
  IssueOne(numbering);  // 8
  const std::map<int32_t, std::string> expected = {{2, "voided"},
                                                   {3, "set_forward"},
                                                   {4, "set_forward"},
                                                   {5, "set_forward"},
                                                   {7, "failed_save"}};
  EXPECT_EQ(GapReasons(numbering), expected);
  EXPECT_TRUE(numbering.Gaps({RuleOwner::All(), "2999-01-01"}).empty());
}

TEST_P(GapsTest, ReportEqualsWhatWasNotIssuedUnderConcurrency) {
  Numbering numbering = Open();
  SaveJournalRule(numbering);
  constexpr int kRounds = 6;
  // Each caller voids every third number it issued; it answers the others.
  const std::vector<std::string> kept = testing::IssueTogether(2, 2, [&] {
    Numbering own = Open("worker");
    std::vector<std::string> serials;
    for (int round = 0; round < kRounds; ++round) {
      const std::string serial = IssueOne(own);
      if (round % 3 == 2) {
        own.VoidSerialNumber({serial, "test void"});
      } else {
        serials.push_back(serial);
      }
    }
    return serials;
  });
  numbering.SetRunningNumber({RuleOwner::All(), 4 * kRounds + 4});
  std::vector<std::string> all = kept;
  all.push_back(IssueOne(numbering));
  std::set<int32_t> in_use;
  for (const std::string& serial : all) in_use.insert(NumberOf(serial));
  ASSERT_EQ(in_use.size(), all.size());
  std::set<int32_t> missing;
  for (int32_t n = 1; n < 4 * kRounds + 5; ++n) {
    if (!in_use.contains(n)) missing.insert(n);
  }
  std::set<int32_t> reported;
  std::map<std::string, int> reasons;
  for (const NumberGap& gap : numbering.Gaps({RuleOwner::All()})) {
    reported.insert(gap.running_number);
    ++reasons[gap.reason];
  }
  EXPECT_EQ(reported, missing);
  EXPECT_EQ(reasons["voided"], 4 * kRounds / 3);
  EXPECT_EQ(reasons["set_forward"], 3);
  EXPECT_EQ(reasons["failed_save"], 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, GapsTest, ::testing::ValuesIn(testing::Backends()));

}  // namespace
}  // namespace quillet
