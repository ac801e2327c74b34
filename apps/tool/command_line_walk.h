// A command line of the tool read word by word against its commands, the way
// the parser reads it: where it stands after the words, and the first word
// that fits nowhere. Names an unknown word in a usage message and tells the
// completion what may come next.
#ifndef QUILLET_APPS_TOOL_COMMAND_LINE_WALK_H_
#define QUILLET_APPS_TOOL_COMMAND_LINE_WALK_H_

#include <CLI/CLI.hpp>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillet::tool {

struct CommandLineWalk {
  // The deepest command the words reached (the tool itself at first) and its
  // words after "quillet", e.g. "rule save".
  const CLI::App* command = nullptr;
  std::string path;
  // How many positional words `command` has received.
  std::size_t positionals = 0;
  // The option whose value is the next word, if any.
  const CLI::Option* awaiting = nullptr;
  // The first word that is neither a command, an option of `command` (or of
  // a command above it), an option's value nor a positional it expects.
  std::optional<std::size_t> unknown;
};

// Walks `words` (the arguments after the program name) from `tool`. Stops at
// the first unknown word; after "--" every word is positional. Pure.
CommandLineWalk WalkCommandLine(const CLI::App& tool, const std::vector<std::string>& words);

// The visible subcommand names of `command`, in the order they were added.
std::vector<std::string> SubcommandNames(const CLI::App& command);

// The long (and short) option names of `command` and of the commands above
// it whose options it accepts, with their dashes: "--db", "-h" ...
std::vector<std::string> OptionNames(const CLI::App& command);

// The option named `name` ("--db", "-h") that `command` accepts, or nullptr.
const CLI::Option* FindOption(const CLI::App& command, const std::string& name);

// The positional option of `command` that receives its positional word
// number `index` (from 0), or nullptr when it takes no more.
const CLI::Option* PositionalAt(const CLI::App& command, std::size_t index);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_COMMAND_LINE_WALK_H_
