#include "tests/support/serve_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/support/backends.h"

namespace quillet::testing {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPoll = std::chrono::milliseconds(10);
constexpr auto kStartLimit = std::chrono::seconds(30);
constexpr auto kStopLimit = std::chrono::seconds(20);
constexpr const char* kListening = "listening on http://127.0.0.1:";

// The child: stdin from /dev/null, stdout and stderr into `log`.
[[noreturn]] void Exec(const std::vector<std::string>& args, const std::string& log) {
  const int in = ::open("/dev/null", O_RDONLY);
  const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (in < 0 || out < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(out, 2) < 0) {
    ::_exit(127);
  }
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

}  // namespace

TokenFile::TokenFile() : path_(TempPath("quillet_token_")) {
  std::ofstream(path_) << kToken << "\n";
}

TokenFile::~TokenFile() { std::filesystem::remove(path_); }

ServeProcess::ServeProcess(const std::string& connection, const std::vector<std::string>& extra)
    : log_path_(TempPath("quillet_serve_") + ".log") {
  const char* binary = std::getenv("QUILLET_BINARY");
  if (binary == nullptr) throw std::runtime_error("QUILLET_BINARY is not set");
  std::vector<std::string> args = {binary, "serve", "--db", connection, "--listen", "127.0.0.1:0"};
  args.insert(args.end(), extra.begin(), extra.end());
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) Exec(args, log_path_);
  const auto deadline = Clock::now() + kStartLimit;
  while (true) {
    const std::string log = Log();
    if (const std::size_t at = log.find(kListening); at != std::string::npos) {
      port_ = std::atoi(log.c_str() + at + std::char_traits<char>::length(kListening));
      if (port_ > 0) return;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_ || Clock::now() > deadline) {
      pid_ = -1;
      throw std::runtime_error("quillet serve did not start:\n" + log);
    }
    std::this_thread::sleep_for(kPoll);
  }
}

ServeProcess::~ServeProcess() {
  if (pid_ > 0) {
    Signal(SIGTERM);
    Wait();
  }
  std::filesystem::remove(log_path_);
}

void ServeProcess::Signal(int signal) const {
  if (pid_ > 0) ::kill(pid_, signal);
}

int ServeProcess::Wait() {
  if (pid_ <= 0) return -1;
  const auto deadline = Clock::now() + kStopLimit;
  int status = 0;
  while (::waitpid(pid_, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(kPoll);
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ServeProcess::Log() const {
  std::ifstream file(log_path_, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

}  // namespace quillet::testing
