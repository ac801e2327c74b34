#include "tests/apps/tool_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "apps/tool/shell_words.h"
#include "tests/support/backends.h"

namespace quillet::testing {

using tool::ShellQuoted;

std::vector<std::string> WithDb(std::vector<std::string> args, const std::string& connection) {
  args.insert(args.end(), {"--db", connection});
  return args;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream stream(line);
  for (std::string word; std::getline(stream, word, ' ');) {
    if (!word.empty()) words.push_back(word);
  }
  return words;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::vector<std::string> ToolRun::Lines() const {
  std::vector<std::string> lines;
  std::istringstream stream(out);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

namespace {

ToolRun RunCommand(const std::string& launcher, const std::vector<std::string>& program,
                   const std::string& input, const std::vector<std::string>& environment) {
  const std::filesystem::path base = TempPath("quillet_tool_");
  const std::filesystem::path in = base.string() + ".in";
  const std::filesystem::path out = base.string() + ".out";
  const std::filesystem::path err = base.string() + ".err";
  std::ofstream(in, std::ios::binary) << input;

  std::string command = launcher + "env";
  for (const std::string& setting : environment) command += " " + ShellQuoted(setting);
  for (const std::string& word : program) command += " " + ShellQuoted(word);
  command += " <" + ShellQuoted(in.string()) + " >" + ShellQuoted(out.string()) + " 2>" +
             ShellQuoted(err.string());
  const int status = std::system(command.c_str());

  ToolRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out.string()),
              ReadFile(err.string())};
  for (const auto& path : {in, out, err}) std::filesystem::remove(path);
  return run;
}

ToolRun RunLaunched(const std::string& launcher, const std::vector<std::string>& args,
                    const std::string& input, const std::vector<std::string>& environment) {
  const char* binary = std::getenv("QUILLET_BINARY");
  if (binary == nullptr) throw std::runtime_error("QUILLET_BINARY is not set");
  std::vector<std::string> program = {binary};
  program.insert(program.end(), args.begin(), args.end());
  return RunCommand(launcher, program, input, environment);
}

}  // namespace

ToolRun RunProgram(const std::vector<std::string>& program, const std::string& input,
                   const std::vector<std::string>& environment) {
  return RunCommand("", program, input, environment);
}

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input,
                const std::vector<std::string>& environment) {
  return RunLaunched("", args, input, environment);
}

ToolRun RunToolUnprivileged(const std::vector<std::string>& args) {
  const std::string launcher =
      ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  return RunLaunched(launcher, args, "", {});
}

TempSqliteFile::TempSqliteFile() : path_(TempPath("quillet_tool_db_") + ".db") {}

TempSqliteFile::~TempSqliteFile() { RemoveSqliteFiles(path_); }

}  // namespace quillet::testing
