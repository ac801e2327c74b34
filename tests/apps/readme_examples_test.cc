// The examples of the README and of docs/: every `$ quillet ...` line of a
// document's ```console blocks runs, in order, in a fresh directory, and
// prints what the document shows under it (stdout and stderr together).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/apps/tool_runner.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::ShellQuoted;

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

// Runs a documented command line through the shell, as a reader would type it,
// with `quillet` standing for the built tool.
std::string RunInShell(const std::string& command, const fs::path& directory) {
  const char* binary = std::getenv("QUILLET_BINARY");
  if (binary == nullptr) throw std::runtime_error("QUILLET_BINARY is not set");
  const fs::path output = directory / ".example-output";
  const std::string line = "cd " + ShellQuoted(directory.string()) +
                           " && unset QUILLET_DB QUILLET_LOCALE && " + ShellQuoted(binary) +
                           command.substr(std::string("quillet").size()) + " >" +
                           ShellQuoted(output.string()) + " 2>&1";
  [[maybe_unused]] const int status = std::system(line.c_str());  // the output tells
  std::string printed = ReadFile(output.string());
  fs::remove(output);
  return printed;
}

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "quillet_readme_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
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
  for (const Example& example : examples) {
    ASSERT_TRUE(example.command.starts_with("quillet ")) << example.command;
    EXPECT_EQ(RunInShell(example.command, directory.path()), example.output)
        << "$ " << example.command;
  }
}

INSTANTIATE_TEST_SUITE_P(Documents, ConsoleExamples,
                         ::testing::Values(Document{"README.md", 20},
                                           Document{"docs/value-document.md", 8}));

}  // namespace
}  // namespace quillet
