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

TEST(Completion, OffersTheWordsThatFit) {
  // After "quillet ", the cursor at the end of the line.
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"ru", {"rule"}},
      {"rule ", {"list", "show", "save", "delete"}},
      {"rule list --l", {"--locale"}},
      {"rule show cl", {"class:"}},
      {"rule list --db po", {"postgresql:"}},
      {"rule save all --name G text=A dep", {"department="}},
      {"rule save all --name G num", {"number,width="}},
      {"issue LW-DL-100 --set war", {"warehouse="}},
      {"mapping list w", {"workcenter", "warehouse"}},
      {"call getSNb", {"getSNbatch"}},
      {"help number ", {"get", "set"}},
      {"rule lst ", {""}}};  // nothing: printf prints one empty line
  for (const auto& [line, offered] : cases) EXPECT_EQ(Offered(line), offered) << line;
}

}  // namespace
}  // namespace quillet
