// Runs the built quillet tool (path in QUILLET_BINARY) and captures its output.
#ifndef QUILLET_TESTS_APPS_TOOL_RUNNER_H_
#define QUILLET_TESTS_APPS_TOOL_RUNNER_H_

#include <string>
#include <vector>

namespace quillet::testing {

struct ToolRun {
  int exit_status;  // -1 when the tool did not exit normally
  std::string out;
  std::string err;
  // stdout split into lines, without line ends.
  std::vector<std::string> Lines() const;
};

// Runs the tool with `args`, feeding `input` to its stdin; `environment`
// holds extra NAME=VALUE settings for the tool.
ToolRun RunTool(const std::vector<std::string>& args, const std::string& input = "",
                const std::vector<std::string>& environment = {});

// Runs `program` (its path, then its arguments) the same way.
ToolRun RunProgram(const std::vector<std::string>& program, const std::string& input = "",
                   const std::vector<std::string>& environment = {});

// As RunTool, but when the tests run as root the tool runs as the user
// nobody, so that file permissions hold for it.
ToolRun RunToolUnprivileged(const std::vector<std::string>& args);

// `args` followed by "--db" and `connection`.
std::vector<std::string> WithDb(std::vector<std::string> args, const std::string& connection);

// `line` split at its blanks (only ' '): a command line written as one string.
std::vector<std::string> Words(const std::string& line);

// A command line of the tool as a test expects it to end.
struct FailureCase {
  std::string line;  // its arguments, split by Words; --db is added
  int exit_status;
  std::string fragment;  // a part of what it says on stderr
};

// The whole content of a file; throws std::runtime_error when unreadable.
std::string ReadFile(const std::string& path);

// A path for a new SQLite file, removed with its side files on destruction.
class TempSqliteFile {
 public:
  TempSqliteFile();
  ~TempSqliteFile();
  TempSqliteFile(const TempSqliteFile&) = delete;
  TempSqliteFile& operator=(const TempSqliteFile&) = delete;

  const std::string& path() const { return path_; }
  std::string connection_string() const { return "sqlite:" + path_; }

 private:
  std::string path_;
};

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_APPS_TOOL_RUNNER_H_
