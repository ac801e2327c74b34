// The quillet tool: serial-number rules from the command line, the demo, and
// calls to the component by name.
#include <CLI/CLI.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "apps/commands.h"
#include "apps/options.h"

namespace {

// The path of the deepest subcommand on the command line, e.g. "rule save".
std::string CommandPath(const CLI::App& tool) {
  std::string path;
  const CLI::App* app = &tool;
  for (std::vector<CLI::App*> chosen = app->get_subcommands(); !chosen.empty();
       chosen = app->get_subcommands()) {
    app = chosen.front();
    path += (path.empty() ? "" : " ") + app->get_name();
  }
  return path;
}

// One line for a command line that cannot be parsed.
void ReportUsage(const CLI::App& tool, const CLI::ParseError& error, int argc, char** argv) {
  const std::string path = CommandPath(tool);
  if (path.empty() && argc > 1 && argv[1][0] != '-') {
    std::string names;
    for (const CLI::App* command : tool.get_subcommands({})) {
      names += (names.empty() ? "" : ", ") + command->get_name();
    }
    std::cerr << "quillet: unknown command '" << argv[1] << "' (commands: " << names
              << "; see 'quillet --help')" << std::endl;
    return;
  }
  std::cerr << "quillet" << (path.empty() ? "" : " " + path) << ": " << error.what()
            << " (see 'quillet" << (path.empty() ? "" : " " + path) << " --help')" << std::endl;
}

constexpr const char* kOverview = R"(Getting started:
  quillet demo                                  the demo company, its rules and serial numbers
  quillet rule list                             every rule, in the segment notation
  quillet preview LW-FL-300 --set department=0101
                                                which rule applies, and the next serial number
  quillet issue LW-DR-012 --count 3 --save      three serial numbers, used up

Every command takes --db CONN (default: $QUILLET_DB, else sqlite:quillet.db) and
--locale ID (default: $QUILLET_LOCALE, else zh-CN). Exit status: 0 done, 1 the
operation failed, 2 the command line is wrong. 'quillet COMMAND --help' tells more.)";

}  // namespace

int main(int argc, char** argv) {
  using namespace quillet::apps;
  CLI::App tool{"Quillet: serial-number rules for the items of an ERP database"};
  tool.name("quillet");
  tool.require_subcommand(1);
  tool.footer(kOverview);
  const std::vector<Command> commands = {AddDemoCommand(tool),    AddIssueCommand(tool),
                                         AddPreviewCommand(tool), AddRuleCommand(tool),
                                         AddMappingCommand(tool), AddNumberCommand(tool),
                                         AddInitCommand(tool),    AddCallCommand(tool),
                                         AddRpcCommand(tool),     AddServeCommand(tool)};
  try {
    tool.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // Help answers 0; every other command-line problem is a usage error.
    if (error.get_exit_code() == 0) return tool.exit(error) == 0 ? kExitOk : kExitUsage;
    ReportUsage(tool, error, argc, argv);
    return kExitUsage;
  }
  for (const Command& command : commands) {
    if (command.app->parsed()) return command.run();
  }
  return kExitUsage;
}
