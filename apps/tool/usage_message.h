// The one line the tool writes for a command line it cannot parse: it names
// the word that fits nowhere and the nearest word that would.
#ifndef QUILLET_APPS_TOOL_USAGE_MESSAGE_H_
#define QUILLET_APPS_TOOL_USAGE_MESSAGE_H_

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace quillet::tool {

// The line (without its end) for `args` (after the program name), which
// `tool` refused with `error`:
//   "quillet rule: unknown command 'lst'; did you mean 'list'? (commands: list,
//    show, save, delete; see 'quillet rule --help')"
//   "quillet issue: unknown option '--dbb'; did you mean '--db'? (see ...)"
// else the parser's own message under the deepest command reached. Pure.
std::string UsageMessage(const CLI::App& tool, const std::vector<std::string>& args,
                         const CLI::ParseError& error);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_USAGE_MESSAGE_H_
