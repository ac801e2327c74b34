// Issuing under load and faults: many callers issuing from one rule at once,
// in threads of this process and in other processes (every number is handed
// out once, and the stored number ends advanced by exactly what was issued);
// and issuing across lost connections (PostgreSQL backends terminated while
// idle or while a number is being advanced, a SQLite file moved away and
// back): the call that was cut fails cleanly, the following ones work on new
// sessions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/generation/rule_fixture.h"
#include "tests/support/issuers.h"
#include "tests/support/raised.h"

namespace quillet::testing {
namespace {

constexpr int kProcesses = 3;
constexpr int kThreads = 3;
constexpr int kRounds = 16;  // half single issues, half batches
constexpr int kBatchSize = 5;
constexpr int kPerWorker = kRounds / 2 * (1 + kBatchSize);

// Issues kRounds times on its own object; an empty entry marks a failure.
std::vector<std::string> Work(clsQuillet& object) {
  std::vector<std::string> issued;
  for (int round = 0; round < kRounds; ++round) {
    std::string code;
    std::string error;
    if (round % 2 == 0) {
      auto values = Values("X1", {});
      issued.push_back(object.getSNumber(code, values, error, true));
    } else {
      auto values = Values("X1", {}, std::to_string(kBatchSize));
      const auto list = object.getSNbatch(code, values, error, true);
      std::vector<std::string> serials = Serials(*list);
      if (serials.size() != kBatchSize) serials.assign(kBatchSize, "");
      issued.insert(issued.end(), serials.begin(), serials.end());
    }
  }
  return issued;
}

using ConcurrencyTest = IssueTest;

TEST_P(ConcurrencyTest, EveryNumberIsIssuedOnce) {
  Rule({{"9", "S"}, Running("7")}, "1");
  // Each caller has an object of its own, on the thread or in the process
  // that uses it.
  const std::vector<std::string> issued = IssueTogether(kThreads, kProcesses, [&] {
    auto own = db.NewObject();
    return Work(*own);
  });

  const int total = (kProcesses + kThreads) * kPerWorker;
  ASSERT_EQ(issued.size(), static_cast<std::size_t>(total));
  std::vector<int> numbers;
  for (const std::string& serial : issued) {
    ASSERT_EQ(serial.size(), 8u) << "a failed issue: '" << serial << "'";
    numbers.push_back(std::stoi(serial.substr(1)));
  }
  std::sort(numbers.begin(), numbers.end());
  for (int i = 0; i < total; ++i) ASSERT_EQ(numbers[i], i + 1) << "issued twice or skipped";
  EXPECT_EQ(StoredNumber(), std::to_string(total + 1));
}

INSTANTIATE_TEST_SUITE_P(Backends, ConcurrencyTest, ::testing::ValuesIn(Backends()));

namespace fs = std::filesystem;

// Polls `done` until it answers true, at most about ten seconds.
template <typename Done>
bool Eventually(Done&& done) {
  for (int i = 0; i < 200; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

std::string Issue(clsQuillet& object) {
  std::string code, error;
  auto values = Values("X1", {});
  return object.getSNumber(code, values, error, true);
}

class FaultTest : public IssueTest {
 protected:
  void SetUp() override {
    if (GetParam() != "postgresql") GTEST_SKIP() << "terminating backends is PostgreSQL's";
    Rule({{"9", "S"}, Running("3")}, "1");
    static int tests = 0;
    // Short enough for the server's 63 characters of application name.
    application_ = "quillet_fault_" + std::to_string(::getpid()) + "_" + std::to_string(++tests);
    faulty_ = BoundObject(db.connection_string() + " application_name=" + application_);
    // Through a pooler the server sessions are the pooler's, named after
    // whichever client used them last, and the test's own look would run
    // on one of them; the test's database is its own, watched from another.
    if (db.db().ThroughPooler()) {
      watcher_.Open(PostgresAdminString());
      whose_ = "datname=:1";
      key_ = db.db().Query(store::Sql{"select current_database()"})->Field(0).ToText();
    } else {
      watcher_.Open(db.connection_string());
      whose_ = "application_name=:1";
      key_ = application_;
    }
  }

  // Terminates this test's backends (the service connection, the pooled
  // write connections) matching `condition`; returns how many.
  int Terminate(const std::string& condition = "true") {
    const auto killed =
        watcher_.Query(store::Sql{"select pg_terminate_backend(pid) from pg_stat_activity where " +
                                  whose_ + " and " + condition},
                       {key_});
    return static_cast<int>(killed->RecordCount());
  }
  bool Gone() {
    return watcher_.Query(store::Sql{"select 1 from pg_stat_activity where " + whose_}, {key_})
               ->RecordCount() == 0;
  }

  std::string application_;
  store::Connection watcher_;
  std::string whose_;  // this test's backends, by `key_`
  std::string key_;
  std::unique_ptr<clsQuillet> faulty_;
};

TEST_P(FaultTest, TerminatedIdleBackendsAreReplacedOnTheNextCall) {
  EXPECT_EQ(Issue(*faulty_), "S001");
  EXPECT_GE(Terminate(), db.db().ThroughPooler() ? 1 : 2)
      << "the service connection and a pooled writer";
  ASSERT_TRUE(Eventually([&] { return Gone(); }));
  Variant number;
  std::string error;
  EXPECT_EQ(Raised([&] { faulty_->GetmaxNumbersrv("X1", number, 1, error); }).number(), 0)
      << "a read reconnects too";
  EXPECT_EQ(number, Variant("2"));
  EXPECT_EQ(Issue(*faulty_), "S002");
  EXPECT_EQ(Issue(*faulty_), "S003");
  EXPECT_EQ(StoredNumber(), "4");
}

TEST_P(FaultTest, ConnectionCutInsideAChangeRollsItBack) {
  struct Case {
    const char* method;
    std::function<std::string(clsQuillet&)> call;  // what the caller is told
    std::string told;                              // that, or a part of it
  };
  const Case cases[] = {
      {"getSNumber", [](clsQuillet& issuer) { return Issue(issuer); }, ""},
      {"getSNbatch",
       [](clsQuillet& issuer) {
         std::string code, error;
         auto values = Values("X1", {}, "2");
         const auto serials = Serials(*issuer.getSNbatch(code, values, error, true));
         return error + "[" + std::to_string(serials.size()) + " empty: " + serials[0] + "]";
       },
       "[2 empty: ]"},
      {"SaveSNRulesrv",
       [](clsQuillet& issuer) {
         auto rule =
             Document("<rule cinvname='X'><row a='1' b='9' c='T' d='0' e='0' f='' g='0'/></rule>");
         std::string error;
         try {
           issuer.SaveSNRulesrv(rule, "X1", 1, "CUT", error);
         } catch (const Error& failure) {
           // The server's reason, or libpq's word that the session ended.
           const std::string& text = failure.description();
           return text.find("connection") != std::string::npos ? "connection lost" : text;
         }
         return std::string("saved");
       },
       "connection lost"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    // A row lock of the test's own makes the change wait inside its statement.
    store::Connection locker;
    locker.Open(db.connection_string());
    locker.Begin();
    locker.Query(store::Sql{"select cnumber from SNrulemain where cinvcode='X1' for update"});
    std::string told = "unset";
    std::thread changing([&] { told = c.call(*faulty_); });
    EXPECT_TRUE(Eventually([&] { return Terminate("wait_event_type='Lock'") == 1; }));
    locker.Rollback();
    changing.join();
    EXPECT_EQ(told, c.told);
    EXPECT_EQ(StoredNumber(), "1") << "nothing was advanced";
  }
  EXPECT_EQ(Issue(*faulty_), "S001") << "the rule is unchanged and the next call works";
}

INSTANTIATE_TEST_SUITE_P(Backends, FaultTest, ::testing::ValuesIn(Backends()));

TEST(ConnectionFault, SqliteFileMovedAwayAndBack) {
  TestDatabase db("sqlite");
  RuleRows rows(db.db());
  rows.Header("X1", "1", "1");
  rows.Segments("X1", "1", {{"9", "S"}, Running("3")});
  auto object = BoundObject(db.connection_string());
  EXPECT_EQ(Issue(*object), "S001");

  const std::string path = db.connection_string().substr(std::string("sqlite:").size());
  fs::rename(path, path + ".away");
  Variant number;
  std::string error;
  EXPECT_EQ(Raised([&] { object->GetmaxNumbersrv("X1", number, 1, error); }).number(), 14)
      << "a moved file is not read";
  EXPECT_EQ(Issue(*object), "");
  EXPECT_FALSE(fs::exists(path)) << "no empty database is created in its place";

  fs::rename(path + ".away", path);
  EXPECT_EQ(Issue(*object), "S002");
  object->GetmaxNumbersrv("X1", number, 1, error);
  EXPECT_EQ(number, Variant("3"));
}

}  // namespace
}  // namespace quillet::testing
