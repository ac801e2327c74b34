// The bash completion as a shell runs it: the script sourced in bash, its
// function called for a command line, the words it offers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "apps/shell_words.h"
#include "tests/apps/tool_runner.h"

namespace quillet {
namespace {

using apps::ShellQuoted;

struct Completion {
  std::string line;  // after "quillet "; the cursor at its end
  std::vector<std::string> offered;
};

void PrintTo(const Completion& c, std::ostream* os) { *os << "'" << c.line << "'"; }

// What _quillet puts in COMPREPLY for `quillet LINE`, one word a line.
std::vector<std::string> Offered(const std::string& line) {
  const std::filesystem::path script =
      std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "apps" /
      "quillet-completion.bash";
  const std::string binary = std::getenv("QUILLET_BINARY");
  const std::string command_line = binary + " " + line;
  // In an empty directory, so that no file name is offered.
  const std::string program = "source " + ShellQuoted(script.string()) +
                              " && cd \"$(mktemp -d)\" && COMP_LINE=" + ShellQuoted(command_line) +
                              " && COMP_POINT=${#COMP_LINE} && _quillet"
                              " && printf '%s\\n' \"${COMPREPLY[@]}\" && rmdir \"$PWD\"";
  const testing::ToolRun run = testing::RunProgram({"bash", "-c", program});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  return run.Lines();
}

class CompletionTest : public ::testing::TestWithParam<Completion> {};

TEST_P(CompletionTest, OffersTheWordsThatFit) {
  EXPECT_EQ(Offered(GetParam().line), GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CompletionTest,
    ::testing::Values(
        Completion{"ru", {"rule"}}, Completion{"rule ", {"list", "show", "save", "delete"}},
        Completion{"rule list --l", {"--locale"}}, Completion{"rule show cl", {"class:"}},
        Completion{"rule list --db po", {"postgresql:"}},
        Completion{"rule save all --name G text=A dep", {"department="}},
        Completion{"rule save all --name G num", {"number,width="}},
        Completion{"issue LW-DL-100 --set war", {"warehouse="}},
        Completion{"mapping list w", {"workcenter", "warehouse"}},
        Completion{"call getSNb", {"getSNbatch"}}, Completion{"help number ", {"get", "set"}},
        Completion{"rule lst ", {""}}));  // nothing: printf prints one empty line

}  // namespace
}  // namespace quillet
