#include "numbering/history.h"

#include <algorithm>

#include "core/number_text.h"
#include "maintenance/rule_history.h"
#include "numbering/line_document.h"
#include "store/database_error.h"

namespace quillet::numbering {

std::optional<std::string> SinceTime(const std::string& since) {
  if (since.empty()) return std::nullopt;
  if (!IsDateText(since)) {
    RaiseBadRequest("since '" + since +
                    "' is not a UTC time written YYYY-MM-DD (optionally with HH:MM:SS)");
  }
  std::string time = since;
  std::replace(time.begin(), time.end(), ' ', 'T');
  return time;
}

std::vector<HistoryEntry> History(Session& session, const HistoryQuery& query) {
  const std::optional<std::string> since = SinceTime(query.since);
  std::vector<store::history::HistoryRow> rows;
  try {
    rows = maintenance::ReadHistory(session.db(), query.owner, since);
  } catch (const Error& error) {
    if (!store::IsMissingTable(error)) throw;
    RaiseNotFound("the database " + session.connection_string() +
                  " has no rule history yet: create its tables again");
  }
  std::vector<HistoryEntry> entries;
  entries.reserve(rows.size());
  for (store::history::HistoryRow& row : rows) {
    HistoryEntry entry{std::move(row.changed), std::move(row.user),   std::nullopt,
                       std::move(row.kind),    std::move(row.before), std::move(row.after)};
    const std::optional<int16_t> kind = service::ParseNumber<int16_t>(row.owner_type);
    if (!row.owner_code.empty()) {
      entry.owner = RuleOwner::FromNumber(std::move(row.owner_code), kind.value_or(-1));
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace quillet::numbering
