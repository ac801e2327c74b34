// Statements of the rule history: one row per change of a rule, a running
// number or a user's mapping code, and the counters a rule's history shows.
#ifndef QUILLET_STORE_HISTORY_QUERIES_H_
#define QUILLET_STORE_HISTORY_QUERIES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/connection.h"

// Every operation runs on the connection passed, binds its values as
// parameters and raises the database's error. Owner types are passed as
// their decimal text. Thread safety: that of the connection.
namespace quillet::store::history {

struct HistoryRow {
  std::string changed;     // UTC, "YYYY-MM-DDTHH:MM:SS.mmmZ"
  std::string user;        // who changed; "" when unknown
  std::string owner_code;  // "" for a change that is not one rule's (a mapping code)
  std::string owner_type;  // "" with an empty owner code
  std::string kind;        // save, delete, number, code, reset
  std::string before;      // the export form before; "" for none
  std::string after;       // the export form after; "" for none
};

// Whether the database has the history table: one created before there was
// a history has none until its tables are created again, and records none.
bool HasHistoryTable(Connection& db);

// Records one change, in the caller's transaction.
void RecordChange(Connection& writer, const HistoryRow& row);

// The history, oldest first: of one owner when `owner_code` is given, changed
// at or after `since` (compared as text) when given.
std::vector<HistoryRow> ReadHistory(Connection& db, const std::optional<std::string>& owner_code,
                                    const std::optional<std::string>& owner_type,
                                    const std::optional<std::string>& since);

// The owner's counters (a rule that restarts its running number): key and
// next number, by key.
std::vector<std::pair<std::string, int32_t>> OwnerCounters(Connection& db,
                                                           const std::string& owner_code,
                                                           const std::string& owner_type);

// The code of the archive value's mapping row; nullopt without one.
std::optional<std::string> ArchiveCode(Connection& db, const std::string& table,
                                       const std::string& seed);

}  // namespace quillet::store::history

#endif  // QUILLET_STORE_HISTORY_QUERIES_H_
