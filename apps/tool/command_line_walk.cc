#include "apps/tool/command_line_walk.h"

#include <climits>

namespace quillet::tool {
namespace {

bool IsOptionWord(const std::string& word) { return word.size() > 1 && word.front() == '-'; }

const CLI::App* Subcommand(const CLI::App& command, const std::string& word) {
  for (const CLI::App* sub : command.get_subcommands({})) {
    if (sub->check_name(word)) return sub;
  }
  return nullptr;
}

}  // namespace

std::vector<std::string> SubcommandNames(const CLI::App& command) {
  std::vector<std::string> names;
  for (const CLI::App* sub : command.get_subcommands({})) {
    if (!sub->get_group().empty()) names.push_back(sub->get_name());
  }
  return names;
}

std::vector<std::string> OptionNames(const CLI::App& command) {
  std::vector<std::string> names;
  for (const CLI::Option* option : command.get_options()) {
    for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    for (const std::string& name : option->get_snames()) names.push_back("-" + name);
  }
  return names;
}

const CLI::Option* FindOption(const CLI::App& command, const std::string& name) {
  if (!IsOptionWord(name)) return nullptr;
  for (const CLI::Option* option : command.get_options()) {
    if (option->nonpositional() && option->check_name(name)) return option;
  }
  return nullptr;
}

const CLI::Option* PositionalAt(const CLI::App& command, std::size_t index) {
  std::size_t first = 0;
  for (const CLI::Option* option : command.get_options()) {
    if (option->nonpositional()) continue;
    const int most = option->get_items_expected_max();
    const std::size_t takes = most <= 0 ? 1 : static_cast<std::size_t>(most);
    if (index - first < takes) return option;
    first += takes;
  }
  return nullptr;
}

namespace {

// Takes an option word: its value, when it takes one and the word holds no
// "=", is the next word. False for an option the command does not know.
bool TakeOption(CommandLineWalk& walk, const std::string& word) {
  const std::size_t equals = word.find('=');
  const CLI::Option* option = FindOption(*walk.command, word.substr(0, equals));
  if (option == nullptr) return false;
  if (option->get_type_size_max() > 0 && equals == std::string::npos) walk.awaiting = option;
  return true;
}

// Takes one word into the walk; false when the command line has no place
// for it.
bool TakeWord(CommandLineWalk& walk, const std::string& word, bool& only_positionals) {
  if (walk.awaiting != nullptr) {
    walk.awaiting = nullptr;
    return true;
  }
  if (!only_positionals && word == "--") {
    only_positionals = true;
    return true;
  }
  if (!only_positionals && IsOptionWord(word)) return TakeOption(walk, word);
  if (!only_positionals) {
    if (const CLI::App* sub = Subcommand(*walk.command, word)) {
      walk.command = sub;
      walk.path += (walk.path.empty() ? "" : " ") + sub->get_name();
      walk.positionals = 0;
      return true;
    }
  }
  if (PositionalAt(*walk.command, walk.positionals) == nullptr) return false;
  ++walk.positionals;
  return true;
}

}  // namespace

CommandLineWalk WalkCommandLine(const CLI::App& tool, const std::vector<std::string>& words) {
  CommandLineWalk walk;
  walk.command = &tool;
  bool only_positionals = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (!TakeWord(walk, words[i], only_positionals)) {
      walk.unknown = i;
      return walk;
    }
  }
  return walk;
}

}  // namespace quillet::tool
