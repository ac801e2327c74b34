// quillet help [COMMAND...], --all and --man: the help texts of the tool's
// commands, each with its examples, one by one, all together, or as the
// manual page.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "apps/cli/tool_error.h"
#include "apps/tool/command_line_walk.h"
#include "apps/tool/commands.h"
#include "apps/tool/man_page.h"
#include "core/nearest_word.h"
#include "quillet/version.h"

namespace quillet::tool {
namespace {

struct HelpOptions {
  std::vector<std::string> topic;
  bool all = false;
  bool man = false;
};

// A command's help as 'quillet PATH --help' prints it; the tool's own when
// `path` is empty.
std::string HelpText(const CLI::App& command, const std::string& path) {
  const std::string name = "quillet" + (path.empty() ? "" : " " + path);
  return command.get_formatter()->make_help(&command, name, CLI::AppFormatMode::Normal);
}

// Every visible command below `command`, depth first, each headed by its
// path: the tool's whole help, for reading through or for a manual page.
void AppendAllHelp(const CLI::App& command, const std::string& path, std::string& text) {
  for (const CLI::App* sub : command.get_subcommands({})) {
    if (sub->get_group().empty()) continue;
    const std::string sub_path = (path.empty() ? "" : path + " ") + sub->get_name();
    text += "\nquillet " + sub_path + ":\n\n" + HelpText(*sub, sub_path);
    AppendAllHelp(*sub, sub_path, text);
  }
}

int RunHelp(const CLI::App& tool, const HelpOptions& options) {
  if (options.man) {
    std::cout << ManPage(tool, QUILLET_VERSION_STRING);
    return kExitOk;
  }
  if (options.all) {
    std::string text = HelpText(tool, "");
    AppendAllHelp(tool, "", text);
    std::cout << text;
    return kExitOk;
  }
  const CommandLineWalk walk = WalkCommandLine(tool, options.topic);
  if (walk.unknown) {
    const std::string& word = options.topic[*walk.unknown];
    throw ToolUsage("no command '" + word + "'" +
                    (walk.path.empty() ? "" : " in 'quillet " + walk.path + "'") +
                    notation::DidYouMean(word, SubcommandNames(*walk.command)));
  }
  std::cout << HelpText(*walk.command, walk.path);
  return kExitOk;
}

}  // namespace

Command AddHelpCommand(CLI::App& tool) {
  auto options = std::make_shared<HelpOptions>();
  CLI::App* command = tool.add_subcommand("help", "the help of the tool or of one command");
  command->add_option("COMMAND", options->topic, "a command and its subcommand, e.g. rule save");
  CLI::Option* all =
      command->add_flag("--all", options->all, "the help of every command, one after another");
  command->add_flag("--man", options->man, "the manual page, in roff (as installed)")
      ->excludes(all);
  command->footer(
      "Examples:\n"
      "  quillet help issue\n"
      "  quillet help rule save\n"
      "  quillet help --all | less");
  const CLI::App* root = &tool;
  return {command, [root, options] {
            return RunReported("help", [&] { return RunHelp(*root, *options); });
          }};
}

}  // namespace quillet::tool
