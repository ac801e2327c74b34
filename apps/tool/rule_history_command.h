// quillet rule history [OWNER] [--since WHEN]: who changed which rule, when,
// from what to what.
#ifndef QUILLET_APPS_TOOL_RULE_HISTORY_COMMAND_H_
#define QUILLET_APPS_TOOL_RULE_HISTORY_COMMAND_H_

#include <optional>
#include <string>

#include "apps/cli/domain_options.h"

namespace quillet::tool {

// Prints the history of `owner` ("" for every change), since `since` when
// given: a table of the changes, each with what it changed, or with --json
// the list of HistoryJson. Returns the exit status.
int RunRuleHistory(const cli::DomainOptions& domain, const std::string& owner,
                   const std::optional<std::string>& since);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_RULE_HISTORY_COMMAND_H_
