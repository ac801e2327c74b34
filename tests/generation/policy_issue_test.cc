// Numbering policies: counters that restart per period or prefix, the last
// and the warning running number, the journal and the refusal of repeats,
// alone and with many callers at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>

#include "core/check_character.h"
#include "store/policy_queries.h"
#include "tests/generation/rule_fixture.h"

namespace quillet::testing {
namespace {

// "S", the lot in one character, the running number in three digits from 1.
const std::vector<SegmentRow> kLotRule = {
    {"9", "S"}, {"1", std::nullopt, "1"}, {"10", "1", "3", "0", std::nullopt, "1"}};

// A policy of the settings given; the others off.
NumberingPolicy With(Restart restart, bool journal = false, bool unique = false,
                     std::optional<int32_t> end = std::nullopt,
                     std::optional<int32_t> warn = std::nullopt) {
  return {restart, end, warn, journal, unique};
}

class PolicyIssueTest : public IssueTest {
 protected:
  void Policy(const NumberingPolicy& policy) {
    store::policy::SavePolicy(db.db(), "X1", "1", policy);
  }
  static std::shared_ptr<XmlDocument> Line(const std::string& date, const std::string& lot,
                                           const Text& count = std::nullopt) {
    return Values("X1", {{"0", date}, {"1", lot}}, count);
  }
  std::string NextRunning(const std::shared_ptr<XmlDocument>& values) {
    const auto parts = Parts(values);
    return parts->empty() ? "" : parts->documentElement()->getAttribute("流水").value_or("");
  }
  std::vector<std::string> Saved(const std::shared_ptr<XmlDocument>& values) {
    std::string error;
    return Serials(*Batch(values, true, error));
  }
  int32_t Refusal() const {
    const auto& refusal = object->LastIssueNotes().refusal;
    return refusal ? refusal->number() : 0;
  }
  std::vector<std::string> Warnings() const { return object->LastIssueNotes().warnings; }
};

struct Step {
  const char* date;
  const char* lot;
  const char* serial;
};

struct RestartCase {
  Restart restart;
  std::vector<Step> steps;  // each issued with saving, in order
  const char* next;         // what getSNrule reports next for the first step's line
};

TEST_P(PolicyIssueTest, CountersRestartPerPeriodOrPrefix) {
  const std::vector<RestartCase> cases = {
      {Restart::kYear,
       {{"2024-05-06", "A", "SA001"},
        {"2024-12-31", "B", "SB002"},
        {"2025-01-01", "A", "SA001"},
        {"2024-01-01 08:00", "A", "SA003"}},
       "004"},
      {Restart::kMonth,
       {{"2024-05-06", "A", "SA001"}, {"2024-06-01", "A", "SA001"}, {"2024-05-31", "A", "SA002"}},
       "003"},
      {Restart::kDay, {{"2024-05-06", "A", "SA001"}, {"2024-05-07", "A", "SA001"}}, "002"},
      {Restart::kPrefix,
       {{"2024-05-06", "A", "SA001"},
        {"2025-01-01", "A", "SA002"},
        {"2024-05-06", "B", "SB001"},
        {"2024-05-06", "A", "SA003"}},
       "004"},
      {Restart::kNever, {{"2024-05-06", "A", "SA007"}, {"2025-01-01", "B", "SB008"}}, "009"},
  };
  for (const RestartCase& c : cases) {
    const std::string restart(RestartWord(c.restart));
    Rule(kLotRule, "7");
    db.db().Execute(store::Sql{"delete from SNcounter"});
    Policy(With(c.restart, /*journal=*/true));
    EXPECT_EQ(Number(Line(c.steps[0].date, c.steps[0].lot)), c.steps[0].serial)
        << restart << ": without saving nothing is taken";
    for (const Step& step : c.steps) {
      EXPECT_EQ(Number(Line(step.date, step.lot), true), step.serial) << restart << step.date;
    }
    EXPECT_EQ(NextRunning(Line(c.steps[0].date, c.steps[0].lot)), c.next) << restart;
    EXPECT_EQ(StoredNumber(), c.restart == Restart::kNever ? "9" : "7")
        << restart << ": a counter leaves the header's number as it was";
  }
}

TEST_P(PolicyIssueTest, BatchesTakeTheirNumbersFromTheCounter) {
  Rule(kLotRule, "7");
  Policy(With(Restart::kMonth));
  EXPECT_EQ(Saved(Line("2024-05-06", "A", "3")),
            (std::vector<std::string>{"SA001", "SA002", "SA003"}));
  EXPECT_EQ(Saved(Line("2024-06-06", "A", "2")), (std::vector<std::string>{"SA001", "SA002"}));
  EXPECT_EQ(Number(Line("2024-05-01", "B"), true), "SB004");
}

// Check characters follow every serial number issued, singly or in a batch,
// with or without saving, and are computed over the whole of it.
TEST_P(PolicyIssueTest, CheckCharactersFollowEverySerialNumber) {
  const struct {
    CheckMethod method;
    Restart restart;
    std::vector<std::string> batch;  // saved, after one unsaved issue
  } kCases[] = {
      {CheckMethod::kMod10, Restart::kNever, {"SA0072", "SA0089", "SA0096"}},
      {CheckMethod::kLuhn, Restart::kMonth, {"SA0014", "SA0022", "SA0030"}},
      {CheckMethod::kMod97, Restart::kNever, {"SA00770", "SA00867", "SA00964"}},
  };
  for (const auto& [method, restart, batch] : kCases) {
    SCOPED_TRACE(CheckMethodWord(method));
    Rule(kLotRule, "7");
    NumberingPolicy policy = With(restart);
    policy.check = method;
    Policy(policy);
    EXPECT_EQ(Number(Line("2024-05-06", "A")), batch.front());
    EXPECT_EQ(Saved(Line("2024-05-06", "A", "3")), batch);
    for (const std::string& serial : batch) {
      EXPECT_TRUE(HasValidCheckCharacters(method, serial)) << serial;
      EXPECT_EQ(serial.substr(0, 5) + CheckCharacters(method, serial.substr(0, 5)), serial);
    }
  }
}

// Every single-character typo and every swap of neighbours of an issued
// serial number fails its mod97 check.
TEST_P(PolicyIssueTest, Mod97RefusesEveryTypoOfAnIssuedSerialNumber) {
  Rule({{"9", "LW-"}, {"0", "YYMM-"}, {"10", "1", "4", "0", std::nullopt, "1"}}, "1");
  NumberingPolicy policy;
  policy.check = CheckMethod::kMod97;
  Policy(policy);
  const std::string serial = Number(Line("2024-05-06", "A"), true);
  ASSERT_EQ(serial.substr(0, 12), "LW-2405-0001");
  ASSERT_TRUE(HasValidCheckCharacters(CheckMethod::kMod97, serial));
  int typos = 0;
  for (std::size_t i = 0; i < serial.size(); ++i) {
    for (char c = ' '; c <= '~'; ++c) {
      std::string typo = serial;
      typo[i] = c;
      if (std::toupper(c) == std::toupper(serial[i])) continue;
      ++typos;
      EXPECT_FALSE(HasValidCheckCharacters(CheckMethod::kMod97, typo)) << typo;
    }
    if (i + 1 < serial.size() && serial[i] != serial[i + 1]) {
      std::string swapped = serial;
      std::swap(swapped[i], swapped[i + 1]);
      ++typos;
      EXPECT_FALSE(HasValidCheckCharacters(CheckMethod::kMod97, swapped)) << swapped;
    }
  }
  EXPECT_GT(typos, 1000);
}

TEST_P(PolicyIssueTest, ARestartPerPeriodNeedsTheDocumentDate) {
  Rule(kLotRule, "7");
  Policy(With(Restart::kYear));
  for (const char* date : {"", "soon"}) {
    EXPECT_EQ(Number(Line(date, "A"), true), "") << date;
    EXPECT_EQ(Refusal(), errc::kNoRestartKey) << date;
  }
  EXPECT_EQ(Number(Line("2024-05-06", "A")), "SA001");
  EXPECT_EQ(Refusal(), 0) << "the notes are the last call's";
}

struct LimitCase {
  const char* stored;
  const char* count;  // nullopt: one serial number
  std::vector<std::string> serials;
  int32_t refusal;
  std::size_t warnings;
  const char* stored_after;
};

TEST_P(PolicyIssueTest, TheEndRefusesAndTheWarningNumberWarns) {
  const std::vector<LimitCase> cases = {
      {"7", nullptr, {"SA007"}, 0, 0, "8"},
      {"8", nullptr, {"SA008"}, 0, 1, "9"},
      {"9", nullptr, {"SA009"}, 0, 1, "10"},
      {"10", nullptr, {""}, errc::kPastEnd, 0, "10"},
      {"6", "2", {"SA006", "SA007"}, 0, 0, "8"},
      {"7", "3", {"SA007", "SA008", "SA009"}, 0, 1, "10"},
      {"8", "3", {"", "", ""}, errc::kPastEnd, 0, "8"},
  };
  for (const LimitCase& c : cases) {
    Rule(kLotRule, c.stored);
    Policy(With(Restart::kNever, false, false, /*end=*/9, /*warn=*/8));
    std::vector<std::string> serials =
        c.count ? Saved(Line("2024-05-06", "A", c.count))
                : std::vector<std::string>{Number(Line("2024-05-06", "A"), true)};
    EXPECT_EQ(serials, c.serials) << c.stored << " x" << (c.count ? c.count : "1");
    EXPECT_EQ(Refusal(), c.refusal) << c.stored;
    EXPECT_EQ(Warnings().size(), c.warnings) << c.stored;
    EXPECT_EQ(StoredNumber(), c.stored_after) << c.stored;
  }
  Rule(kLotRule, "10");
  EXPECT_EQ(NextRunning(Line("2024-05-06", "A")), "") << "getSNrule refuses past the end too";
  EXPECT_EQ(Refusal(), errc::kPastEnd);
}

TEST_P(PolicyIssueTest, UniqueRefusesARepeatAfterTheNumberIsSetBack) {
  for (const bool unique : {false, true}) {
    Rule(kLotRule, "7");
    db.db().Execute(store::Sql{"delete from SNjournal"});
    Policy(With(Restart::kNever, /*journal=*/true, unique));
    EXPECT_EQ(Number(Line("2024-05-06", "A"), true), "SA007");
    Variant seven("7");
    std::string ignored;
    object->SavemaxNumbersrv("X1", seven, 1, ignored);
    EXPECT_EQ(Number(Line("2024-05-06", "A"), true), unique ? "" : "SA007");
    EXPECT_EQ(Refusal(), unique ? errc::kIssuedBefore : 0);
    if (unique) {
      const std::string why = object->LastIssueNotes().refusal->description();
      EXPECT_NE(why.find("SA007 was issued before, at 20"), std::string::npos) << why;
      EXPECT_EQ(StoredNumber(), "7") << "a refused issue saves nothing";
      EXPECT_EQ(Saved(Line("2024-05-06", "A", "2")), (std::vector<std::string>{"", ""}))
          << "a batch holding a repeat is refused whole";
    }
  }
}

// Threads issuing singles and batches from two prefixes of one rule with a
// journal: each prefix's numbers are 1..N once each, and the journal holds
// exactly what was issued.
TEST_P(PolicyIssueTest, ConcurrentCountersAndJournalStayExact) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 8;
  Rule(kLotRule, "7");
  Policy(With(Restart::kPrefix, /*journal=*/true));
  std::vector<std::vector<std::string>> issued(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      auto own = db.NewObject();
      for (int round = 0; round < kRounds; ++round) {
        std::string code, error;
        const std::string lot = (t + round) % 2 == 0 ? "A" : "B";
        auto values = Line("2024-05-06", lot, round % 2 == 0 ? Text() : Text("3"));
        if (round % 2 == 0) {
          issued[t].push_back(own->getSNumber(code, values, error, true));
        } else {
          for (std::string& serial : Serials(*own->getSNbatch(code, values, error, true))) {
            issued[t].push_back(std::move(serial));
          }
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  std::vector<std::string> all;
  std::map<char, std::vector<int>> per_prefix;
  for (const auto& serials : issued) {
    for (const std::string& serial : serials) {
      ASSERT_EQ(serial.size(), 5u) << "a failed issue: '" << serial << "'";
      per_prefix[serial[1]].push_back(std::stoi(serial.substr(2)));
      all.push_back(serial);
    }
  }
  for (auto& [prefix, numbers] : per_prefix) {
    std::sort(numbers.begin(), numbers.end());
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      ASSERT_EQ(numbers[i], static_cast<int>(i + 1)) << prefix << ": issued twice or skipped";
    }
  }
  std::vector<std::string> journal;
  for (const auto& entry :
       store::policy::ReadJournal(db.db(), std::nullopt, std::nullopt, std::nullopt)) {
    journal.push_back(entry.serial);
    EXPECT_EQ(entry.number, std::stoi(entry.serial.substr(2))) << entry.serial;
  }
  std::sort(all.begin(), all.end());
  std::sort(journal.begin(), journal.end());
  EXPECT_EQ(journal, all);
}

INSTANTIATE_TEST_SUITE_P(Backends, PolicyIssueTest, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
