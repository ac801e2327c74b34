// The quillet tool: set up a database and call the component by name.
#include <CLI/CLI.hpp>
#include <vector>

#include "apps/commands.h"
#include "apps/options.h"

int main(int argc, char** argv) {
  using namespace quillet::apps;
  CLI::App tool{"Serial-number rules for the items of a host database"};
  tool.name("quillet");
  tool.require_subcommand(1);
  const std::vector<Command> commands = {AddInitCommand(tool), AddCallCommand(tool),
                                         AddRpcCommand(tool)};
  try {
    tool.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // Help answers 0; every other command-line problem is a usage error.
    return tool.exit(error) == 0 ? kExitOk : kExitUsage;
  }
  for (const Command& command : commands) {
    if (command.app->parsed()) return command.run();
  }
  return kExitUsage;
}
