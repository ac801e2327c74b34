#include "tests/support/issuers.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace quillet::testing {
namespace {

struct Child {
  pid_t pid;
  int results;  // read end of the child's result pipe
};

// A process of its own, waiting for `go` before it issues; writes one issued
// serial number per line.
Child StartProcess(const IssueWork& work, int go) {
  int results[2];
  if (pipe(results) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid == 0) {
    close(results[0]);
    int status = 0;
    try {
      char start;
      if (read(go, &start, 1) < 0) _exit(3);
      std::string out;
      for (const std::string& serial : work()) out += serial + "\n";
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

}  // namespace

std::vector<std::string> IssueTogether(int threads, int processes, const IssueWork& work) {
  int go[2];
  if (pipe(go) != 0) throw std::runtime_error("pipe");
  std::vector<Child> children;
  for (int i = 0; i < processes; ++i) children.push_back(StartProcess(work, go[0]));
  close(go[0]);

  std::atomic<int> ready{0};
  std::atomic<bool> start{false};
  std::vector<std::vector<std::string>> per_thread(threads);
  std::vector<std::thread> running;
  for (int i = 0; i < threads; ++i) {
    running.emplace_back([&, i] {
      ++ready;
      while (!start) std::this_thread::yield();
      per_thread[i] = work();
    });
  }
  while (ready < threads) std::this_thread::yield();
  start = true;
  const std::string signal(processes, 'g');
  if (write(go[1], signal.data(), signal.size()) != static_cast<ssize_t>(signal.size())) {
    ADD_FAILURE() << "the children were not let go";
  }
  close(go[1]);

  std::vector<std::string> issued;
  for (std::thread& thread : running) thread.join();
  for (const auto& serials : per_thread)
    issued.insert(issued.end(), serials.begin(), serials.end());
  for (const Child& child : children) {
    const auto serials = Collect(child);
    issued.insert(issued.end(), serials.begin(), serials.end());
  }
  return issued;
}

}  // namespace quillet::testing
