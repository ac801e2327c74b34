// The values of one document line, given on the command line with --date
// and --set NAME=VALUE.
#ifndef QUILLET_APPS_TOOL_LINE_OPTIONS_H_
#define QUILLET_APPS_TOOL_LINE_OPTIONS_H_

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

#include "quillet/numbering.h"

namespace quillet::tool {

struct ValueOptions {
  std::optional<std::string> date;
  std::vector<std::string> sets;  // NAME=VALUE
};

// Adds --date and the repeatable --set to `command`.
void AddValueOptions(CLI::App& command, ValueOptions& options);

// The line of `item` with the options' values; its names and date are
// checked as an issue checks them (quillet::LineValuesOf). Raises ToolUsage
// for a --set without '=', a Failure for what the check refuses.
Line LineOfOptions(const std::string& item, const ValueOptions& options);

// The line's values as NAME=VALUE words, the date first. Raises as
// LineValuesOf does.
std::vector<std::string> ValueWords(const Line& line);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_LINE_OPTIONS_H_
