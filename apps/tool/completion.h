// What may come next on a command line of the tool, for the shell's
// completion: `quillet __complete WORD...` prints it, one candidate a line.
#ifndef QUILLET_APPS_TOOL_COMPLETION_H_
#define QUILLET_APPS_TOOL_COMPLETION_H_

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace quillet::tool {

// The word that asks the shell to offer file names as well.
inline constexpr const char* kCompleteFiles = "@files";

// The candidates for the last of `words` (the arguments after the program
// name; the last one is being typed and may be empty), those that begin with
// it: commands and subcommands, the options of the command reached, values of
// the option before it (--db kinds, --locale ids, --set names), and for
// positional words owners (item: class: all), segment words, data sources,
// method names and command names. kCompleteFiles among them where a file name
// fits. Pure.
std::vector<std::string> CompletionCandidates(const CLI::App& tool,
                                              const std::vector<std::string>& words);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_COMPLETION_H_
