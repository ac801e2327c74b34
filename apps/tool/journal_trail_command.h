// quillet journal void SERIAL --reason TEXT | gaps OWNER [--since WHEN]:
// voided serial numbers and the numbers a journal-keeping rule skipped.
#ifndef QUILLET_APPS_TOOL_JOURNAL_TRAIL_COMMAND_H_
#define QUILLET_APPS_TOOL_JOURNAL_TRAIL_COMMAND_H_

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>

namespace quillet::tool {

// Adds `void` and `gaps` under the journal command; the runner answers the
// exit status when one of them was given, nullopt otherwise.
std::function<std::optional<int>()> AddJournalTrail(CLI::App& journal);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_JOURNAL_TRAIL_COMMAND_H_
