// `quillet serve`: the rules, mappings and issuing as an HTTP service that
// many clients share, and the calls by name.
#ifndef QUILLET_SERVE_SERVE_COMMAND_H_
#define QUILLET_SERVE_SERVE_COMMAND_H_

#include <CLI/CLI.hpp>

#include "apps/cli/options.h"

namespace quillet::serve {

// Adds the command to the tool.
cli::Command AddServeCommand(CLI::App& tool);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_SERVE_COMMAND_H_
