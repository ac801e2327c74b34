#include "maintenance/voided_serial.h"

#include "core/utc_time.h"
#include "store/policy_queries.h"
#include "store/write_pool.h"

namespace quillet::maintenance {

VoidOutcome VoidSerial(store::Connection& db, const std::string& serial, const std::string& reason,
                       const std::string& user) {
  const std::vector<store::policy::JournalEntry> issued = store::policy::IssuedBefore(db, {serial});
  if (issued.empty()) return {VoidOutcome::Kind::kNotInJournal, {}};
  const store::policy::JournalEntry& entry = issued.front();
  const store::voided::VoidRow row{serial,       entry.owner_code,        entry.owner_type,
                                   entry.number, service::UtcTimestamp(), user,
                                   reason};
  auto writer = store::OpenWriteConnection(db);
  if (store::voided::MarkVoid(*writer, row)) return {VoidOutcome::Kind::kVoided, row};
  const std::optional<store::voided::VoidRow> before = store::voided::VoidOf(*writer, serial);
  return {VoidOutcome::Kind::kVoidedBefore, before.value_or(row)};
}

}  // namespace quillet::maintenance
