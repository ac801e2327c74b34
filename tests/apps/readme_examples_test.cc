// The examples of the README and of docs/: every `$ quillet ...` line of a
// document's ```console blocks runs, in order, in a fresh directory, and
// prints what the document shows under it (stdout and stderr together).
// `$ curl ...` lines ask the `quillet serve` the document starts beside its
// database: the test starts it before the first of them, on the directory's
// quillet.db and a free port that stands in for 127.0.0.1:8080.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "apps/tool/shell_words.h"
#include "tests/apps/tool_runner.h"
#include "tests/support/backends.h"
#include "tests/support/serve_process.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using tool::ShellQuoted;

struct Example {
  std::string command;  // without the "$ "
  std::string output;   // the lines under it, each ending in a line feed
};

// The examples of the ```console blocks, in document order.
std::vector<Example> ReadExamples(const std::string& markdown) {
  std::vector<Example> examples;
  std::istringstream lines(markdown);
  bool in_console = false;
  for (std::string line; std::getline(lines, line);) {
    if (!in_console) {
      in_console = line.starts_with("```console");
    } else if (line.starts_with("```")) {
      in_console = false;
    } else if (line.starts_with("$ ")) {
      examples.push_back({line.substr(2), ""});
    } else if (!examples.empty()) {
      examples.back().output += line + "\n";
    }
  }
  return examples;
}

constexpr std::string_view kDocumentedAddress = "127.0.0.1:8080";

// A documented command line as the shell runs it: `quillet` stands for the
// built tool; in a curl command, the documented address for `port`'s.
std::string ShellLine(std::string command, int port) {
  if (command.starts_with("curl ")) {
    const std::string address = "127.0.0.1:" + std::to_string(port);
    for (std::size_t at = command.find(kDocumentedAddress); at != std::string::npos;
         at = command.find(kDocumentedAddress, at + address.size())) {
      command.replace(at, kDocumentedAddress.size(), address);
    }
    return command;
  }
  const char* binary = std::getenv("QUILLET_BINARY");
  if (binary == nullptr) throw std::runtime_error("QUILLET_BINARY is not set");
  return ShellQuoted(binary) + command.substr(std::string("quillet").size());
}

// Runs a command line through the shell, as a reader would type it.
std::string RunInShell(const std::string& shell_line, const fs::path& directory) {
  const fs::path output = directory / ".example-output";
  const std::string line = "cd " + ShellQuoted(directory.string()) +
                           " && unset QUILLET_DB QUILLET_LOCALE && " + shell_line + " >" +
                           ShellQuoted(output.string()) + " 2>&1";
  [[maybe_unused]] const int status = std::system(line.c_str());  // the output tells
  std::string printed = ReadFile(output.string());
  fs::remove(output);
  return printed;
}

// A new directory, removed with what the examples left in it.
struct ScratchDirectory {
  const fs::path path = testing::TempPath("quillet_readme_");
  ScratchDirectory() { fs::create_directories(path); }
  ~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

struct Document {
  std::string path;  // from the repository's root
  std::size_t least_examples;
};

void PrintTo(const Document& d, std::ostream* os) { *os << d.path; }

class ConsoleExamples : public ::testing::TestWithParam<Document> {};

TEST_P(ConsoleExamples, EveryExamplePrintsWhatTheDocumentShows) {
  const fs::path file =
      fs::path(__FILE__).parent_path().parent_path().parent_path() / GetParam().path;
  const std::vector<Example> examples = ReadExamples(ReadFile(file.string()));
  ASSERT_GE(examples.size(), GetParam().least_examples) << "the console examples were not found";

  ScratchDirectory directory;
  std::optional<testing::ServeProcess> serve;
  for (const Example& example : examples) {
    const bool curl = example.command.starts_with("curl ");
    ASSERT_TRUE(curl || example.command.starts_with("quillet ")) << example.command;
    if (curl && !serve) serve.emplace("sqlite:" + (directory.path / "quillet.db").string());
    const std::string line = ShellLine(example.command, serve ? serve->port() : 0);
    EXPECT_EQ(RunInShell(line, directory.path), example.output) << "$ " << example.command;
  }
}

INSTANTIATE_TEST_SUITE_P(Documents, ConsoleExamples,
                         ::testing::Values(Document{"README.md", 20},
                                           Document{"docs/value-document.md", 8}));

}  // namespace
}  // namespace quillet
