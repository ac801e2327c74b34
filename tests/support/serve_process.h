// `quillet serve` as its users run it: the built tool (QUILLET_BINARY) as a
// child process on a free loopback port.
#ifndef QUILLET_TESTS_SUPPORT_SERVE_PROCESS_H_
#define QUILLET_TESTS_SUPPORT_SERVE_PROCESS_H_

#include <sys/types.h>

#include <string>
#include <vector>

namespace quillet::testing {

// The bearer token of the services the tests start with TokenFile's file.
inline constexpr const char* kToken = "t0ken-of-the-serve-tests";

// A temporary file holding kToken, removed on destruction.
class TokenFile {
 public:
  TokenFile();
  ~TokenFile();
  TokenFile(const TokenFile&) = delete;
  TokenFile& operator=(const TokenFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class ServeProcess {
 public:
  // Starts `quillet serve --db CONNECTION --listen 127.0.0.1:0 EXTRA...` and
  // returns once it listens. Throws std::runtime_error, with its log, when it
  // ends instead.
  explicit ServeProcess(const std::string& connection, const std::vector<std::string>& extra = {});
  // Stops it with SIGTERM (SIGKILL when it does not end in time).
  ~ServeProcess();
  ServeProcess(const ServeProcess&) = delete;
  ServeProcess& operator=(const ServeProcess&) = delete;

  int port() const { return port_; }
  void Signal(int signal) const;
  // Waits for the process to end; its exit status, -1 when killed.
  int Wait();
  // What it wrote to stderr so far: its notices and access-log lines.
  std::string Log() const;

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  std::string log_path_;
};

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_SUPPORT_SERVE_PROCESS_H_
