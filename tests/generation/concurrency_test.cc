// Many callers issuing from one rule at once, in threads of this process and
// in other processes: every number is handed out once, and the stored number
// ends advanced by exactly what was issued.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/generation/rule_fixture.h"

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

}  // namespace
}  // namespace quillet::testing
