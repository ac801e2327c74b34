// The rule history as the typed interface gives it.
#ifndef QUILLET_NUMBERING_HISTORY_H_
#define QUILLET_NUMBERING_HISTORY_H_

#include <optional>
#include <string>
#include <vector>

#include "numbering/session.h"
#include "quillet/numbering.h"

namespace quillet::numbering {

// `since` as the history and the journal store times ("YYYY-MM-DDTHH:MM..."),
// nullopt for an empty one. Raises Failure (kInvalidRequest) for a text that
// is not a date with an optional time.
std::optional<std::string> SinceTime(const std::string& since);

std::vector<HistoryEntry> History(Session& session, const HistoryQuery& query);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_HISTORY_H_
