// The tool's manual page, written from the same help texts that --help
// prints: every command with its arguments, options and examples.
#ifndef QUILLET_APPS_TOOL_MAN_PAGE_H_
#define QUILLET_APPS_TOOL_MAN_PAGE_H_

#include <CLI/CLI.hpp>
#include <string>

namespace quillet::tool {

// The manual page of `tool` in roff (man(7)), section 1, for `version`. Pure.
std::string ManPage(const CLI::App& tool, const std::string& version);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_MAN_PAGE_H_
