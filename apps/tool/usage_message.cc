#include "apps/tool/usage_message.h"

#include "apps/tool/command_line_walk.h"
#include "core/nearest_word.h"

namespace quillet::tool {
namespace {

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : ", ") + word;
  return text;
}

// What is wrong with the word that fits nowhere, and what would fit.
std::string UnknownWord(const CLI::App& command, const std::string& word) {
  const bool option = word.size() > 1 && word.front() == '-';
  if (option && command.get_parent() != nullptr && command.get_require_subcommand_min() > 0) {
    return "needs one of the commands " + Joined(SubcommandNames(command)) + " before '" + word +
           "'";
  }
  if (option) {
    const std::string name = word.substr(0, word.find('='));
    return "unknown option '" + name + "'" + notation::DidYouMean(name, OptionNames(command));
  }
  const std::vector<std::string> commands = SubcommandNames(command);
  if (commands.empty()) return "unexpected word '" + word + "'";
  return "unknown command '" + word + "'" + notation::DidYouMean(word, commands) +
         " (commands: " + Joined(commands) + ")";
}

}  // namespace

std::string UsageMessage(const CLI::App& tool, const std::vector<std::string>& args,
                         const CLI::ParseError& error) {
  const CommandLineWalk walk = WalkCommandLine(tool, args);
  const std::string name = "quillet" + (walk.path.empty() ? "" : " " + walk.path);
  std::string message;
  if (walk.unknown) {
    message = UnknownWord(*walk.command, args[*walk.unknown]);
  } else if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr &&
             walk.command->get_require_subcommand_min() > 0 &&
             walk.command->get_subcommands().empty()) {
    message = "needs one of the commands " + Joined(SubcommandNames(*walk.command));
  } else {
    message = error.what();
  }
  const std::string see = "see '" + name + " --help'";
  if (message.ends_with(")")) {
    message.insert(message.size() - 1, "; " + see);
    return name + ": " + message;
  }
  return name + ": " + message + " (" + see + ")";
}

}  // namespace quillet::tool
