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
