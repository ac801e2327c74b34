// The quillet binary: the tool's commands, calls to the component by name,
// and `quillet serve`.
#include <CLI/CLI.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "apps/cli/options.h"
#include "apps/cli/tool_error.h"
#include "apps/serve/serve_command.h"
#include "apps/tool/commands.h"
#include "apps/tool/completion.h"
#include "apps/tool/usage_message.h"
#include "core/text_check.h"
#include "quillet/error.h"
#include "quillet/version.h"

namespace {

constexpr const char* kOverview = R"(Getting started:
  quillet demo                                  the demo company, its rules and serial numbers
  quillet rule list                             every rule, in the segment notation
  quillet classes                               the inventory classes and their own rules
  quillet preview LW-FL-300 --set department=0101
                                                which rule applies, and the next serial number
  quillet issue LW-DR-012 --count 3 --save      three serial numbers, used up
  quillet label SN-20240506-00001 --out sn.svg  a label with its barcode
  quillet verify SN-20240506-00001              which rule wrote it, and when

Every command that uses a database takes --db (default: $QUILLET_DB, else quillet.db): a
SQLite file (PATH or sqlite:PATH) or postgresql:CONNINFO; and --locale ID (default:
$QUILLET_LOCALE, else zh-CN). Exit status: 0 done, 1 the operation failed, 2 the command
line is wrong. 'quillet help COMMAND' describes a command, with examples.)";

// The command the parser chose: the deepest parsed subcommand.
const CLI::App* ChosenCommand(const CLI::App& tool) {
  const CLI::App* command = &tool;
  while (!command->get_subcommands().empty()) command = command->get_subcommands().front();
  return command;
}

// Prints the candidates for `quillet __complete WORD...` (the shell's
// completion asks), one a line.
int Complete(const CLI::App& tool, int argc, char** argv) {
  const std::vector<std::string> words(argv + 2, argv + argc);
  for (const std::string& candidate : quillet::tool::CompletionCandidates(tool, words)) {
    std::cout << candidate << '\n';
  }
  return quillet::tool::kExitOk;
}

// The tool takes UTF-8 words only: a word that is not would be stored as it
// stands by one database and refused by another. Reports the first such word.
bool ArgumentsAreText(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (const auto problem = quillet::TextProblem(argv[i])) {
      std::cerr << "quillet: error " << quillet::errc::kInvalidText << ": word " << i
                << " of the command line " << *problem << " (see 'quillet --help')" << std::endl;
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quillet::tool;
  CLI::App tool{"Quillet: serial-number rules for the items of an ERP database"};
  tool.name("quillet");
  tool.set_version_flag("--version", std::string("quillet ") + QUILLET_VERSION_STRING,
                        "print the version and exit");
  tool.require_subcommand(1);
  const std::vector<Command> commands = {AddDemoCommand(tool),
                                         AddIssueCommand(tool),
                                         AddPreviewCommand(tool),
                                         AddRuleCommand(tool),
                                         AddMappingCommand(tool),
                                         AddNumberCommand(tool),
                                         AddJournalCommand(tool),
                                         AddClassesCommand(tool),
                                         AddItemsCommand(tool),
                                         AddInitCommand(tool),
                                         AddCheckCommand(tool),
                                         AddLabelCommand(tool),
                                         AddVerifyCommand(tool),
                                         AddCallCommand(tool),
                                         AddRpcCommand(tool),
                                         AddHelpCommand(tool),
                                         quillet::serve::AddServeCommand(tool)};
  // Set after the commands: a subcommand takes its parent's footer when added.
  tool.footer(kOverview);
  if (argc > 1 && std::string(argv[1]) == "__complete") return Complete(tool, argc, argv);
  if (!ArgumentsAreText(argc, argv)) return kExitUsage;
  try {
    tool.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // Help and version answer 0; every other command-line problem is a usage error.
    if (error.get_exit_code() == 0) return tool.exit(error) == 0 ? kExitOk : kExitUsage;
    std::cerr << OneLine(UsageMessage(tool, std::vector<std::string>(argv + 1, argv + argc), error))
              << std::endl;
    return kExitUsage;
  }
  if (const CLI::Option* db = ChosenCommand(tool)->get_option_no_throw("--db")) {
    quillet::cli::NameDatabaseInMessages(db->as<std::string>());
  }
  for (const Command& command : commands) {
    if (command.app->parsed()) return command.run();
  }
  return kExitUsage;
}
