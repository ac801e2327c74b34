// Statements of the numbering policies: the policy of a rule, the counters
// of rules that restart their running number, and the journal of issued
// serial numbers. The standard statements of the component never touch these
// tables; only rules with a policy lead here.
#ifndef QUILLET_STORE_POLICY_QUERIES_H_
#define QUILLET_STORE_POLICY_QUERIES_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quillet/numbering_policy.h"
#include "quillet/recordset.h"
#include "store/connection.h"

// Every operation runs on the connection passed, binds its values as
// parameters and raises the database's error (see Connection). Owner types
// are passed as their decimal text ("0", "1", "2"). Thread safety: that of
// the connection.
namespace quillet::store::policy {

// The policy of a stored row (crestart, iend, iwarn, bjournal, bunique);
// nullopt for a row that asks for nothing. Raises errc::kTypeMismatch for a
// row that is not a policy.
std::optional<NumberingPolicy> PolicyOfRow(const RecordSet& row);

// The owner's policy; nullopt when it has none stored, and when the database
// has no policy table (a database created before there were policies).
// Raises errc::kTypeMismatch for a stored row that is not a policy.
std::optional<NumberingPolicy> OwnerPolicy(Connection& db, const std::string& owner_code,
                                           const std::string& owner_type);

// Whether the database has the policy tables: one created before there were
// policies has none until its tables are created again.
bool HasPolicyTables(Connection& db);

// Replaces the owner's policy by `policy`; a default policy leaves no row.
void SavePolicy(Connection& db, const std::string& owner_code, const std::string& owner_type,
                const NumberingPolicy& policy);

// Deletes the owner's policy and counters.
void DeletePolicy(Connection& db, const std::string& owner_code, const std::string& owner_type);

// The number the counter `key` of the owner gives next; nullopt for a
// counter not used yet.
std::optional<int32_t> CounterNumber(Connection& db, const std::string& owner_code,
                                     const std::string& owner_type, const std::string& key);

// Takes `amount` from the counter `key` of the owner in one statement,
// creating it at `start` when it is new, and returns the number it gave
// before. The row stays locked until the caller's transaction ends. Raises
// errc::kOverflow when the counter would leave 32 bits.
int32_t AdvanceCounter(Connection& writer, const std::string& owner_code,
                       const std::string& owner_type, const std::string& key, int32_t start,
                       int32_t amount);

// Makes `number` the next number of the owner's counter `key`, creating the
// counter when it is new.
void SetCounter(Connection& writer, const std::string& owner_code, const std::string& owner_type,
                const std::string& key, int32_t number);

// One issued serial number.
struct JournalEntry {
  std::string serial;
  std::string owner_code;
  std::string owner_type;
  std::string item;
  std::optional<int32_t> number;  // the running number; none for a rule without one
  std::string document_date;      // as the value document gives it
  std::string issued;             // UTC, "YYYY-MM-DDTHH:MM:SS.mmmZ"
  std::string user;
};

// Records the entries; with `unique` each also takes the unique key of its
// serial number, so that a copy committed meanwhile makes this fail with a
// unique violation. In the caller's transaction.
void RecordIssues(Connection& writer, const std::vector<JournalEntry>& entries, bool unique);

// The first recorded issue of each of `serials` that the journal holds.
std::vector<JournalEntry> IssuedBefore(Connection& db, const std::vector<std::string>& serials);

// The journal, oldest first: of one owner when `owner_code` is given, issued
// at or after `since` (compared as text) when given.
std::vector<JournalEntry> ReadJournal(Connection& db, const std::optional<std::string>& owner_code,
                                      const std::optional<std::string>& owner_type,
                                      const std::optional<std::string>& since);

}  // namespace quillet::store::policy

#endif  // QUILLET_STORE_POLICY_QUERIES_H_
