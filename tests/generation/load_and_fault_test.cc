// Issuing under load and faults: many callers issuing from one rule at once,
// in threads of this process and in other processes (every number is handed
// out once, and the stored number ends advanced by exactly what was issued);
// and issuing across lost connections (PostgreSQL backends terminated while
// idle or while a number is being advanced, a SQLite file moved away and
// back): the call that was cut fails cleanly, the following ones work on new
// sessions.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/generation/rule_fixture.h"
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

struct Child {
  pid_t pid;
  int results;  // read end of the child's result pipe
};

// A process of its own, waiting for `go` before it issues; writes one issued
// serial number per line.
Child StartProcess(const TestDatabase& db, int go) {
  int results[2];
  if (pipe(results) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid == 0) {
    close(results[0]);
    int status = 0;
    try {
      auto object = db.NewObject();
      char start;
      if (read(go, &start, 1) < 0) _exit(3);
      std::string out;
      for (const std::string& serial : Work(*object)) out += serial + "\n";
      if (write(results[1], out.data(), out.size()) != static_cast<ssize_t>(out.size())) status = 4;
    } catch (...) {
      status = 2;
    }
    _exit(status);
  }
  close(results[1]);
  return {pid, results[0]};
}

std::vector<std::string> Collect(const Child& child) {
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = read(child.results, buffer, sizeof buffer)) > 0) text.append(buffer, n);
  close(child.results);
  int status = 0;
  waitpid(child.pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child " << child.pid;
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

using ConcurrencyTest = IssueTest;

TEST_P(ConcurrencyTest, EveryNumberIsIssuedOnce) {
  Rule({{"9", "S"}, Running("7")}, "1");

  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<Child> children;
  for (int i = 0; i < kProcesses; ++i) children.push_back(StartProcess(db, go[0]));
  close(go[0]);

  std::atomic<int> ready{0};
  std::atomic<bool> start{false};
  std::vector<std::vector<std::string>> per_thread(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      auto own = db.NewObject();  // objects live on the thread that uses them
      ++ready;
      while (!start) std::this_thread::yield();
      per_thread[i] = Work(*own);
    });
  }
  while (ready < kThreads) std::this_thread::yield();
  start = true;
  const std::string signal(kProcesses, 'g');
  ASSERT_EQ(write(go[1], signal.data(), signal.size()), static_cast<ssize_t>(signal.size()));
  close(go[1]);

  std::vector<std::string> issued;
  for (std::thread& thread : threads) thread.join();
  for (const auto& serials : per_thread)
    issued.insert(issued.end(), serials.begin(), serials.end());
  for (const Child& child : children) {
    const auto serials = Collect(child);
    EXPECT_EQ(serials.size(), static_cast<std::size_t>(kPerWorker));
    issued.insert(issued.end(), serials.begin(), serials.end());
  }

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
