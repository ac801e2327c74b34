// The stored running number of one rule header, held by an issue that saves
// from the moment it is read to the moment it is advanced, so that no other
// caller (thread or process) can read it in between.
#ifndef QUILLET_GENERATION_RUNNING_NUMBER_LEASE_H_
#define QUILLET_GENERATION_RUNNING_NUMBER_LEASE_H_

#include <memory>
#include <optional>
#include <string>

#include "generation/rule_owner.h"
#include "quillet/recordset.h"
#include "store/connection.h"

namespace quillet::generation {

// A short-lived write connection opened from the service connection's
// string, with one transaction: an immediate one on SQLite (other writers
// wait), the header row locked on PostgreSQL. Used on one thread.
class RunningNumberLease {
 public:
  explicit RunningNumberLease(const store::Connection& service) : service_(service) {}
  // Rolls back, unless Advance committed: an issue that stops before saving
  // leaves the stored number as it was.
  ~RunningNumberLease();
  RunningNumberLease(const RunningNumberLease&) = delete;
  RunningNumberLease& operator=(const RunningNumberLease&) = delete;

  // Opens the connection, begins the transaction and reads the owner's
  // cnumber under it (as the header's record set: no rows without a header).
  // Raises the database's errors, errc::kObjectOpen when called twice.
  std::shared_ptr<RecordSet> Read(const RuleOwner& owner);

  // Stores `next` as the running number of the owner read, commits and
  // closes the connection. Raises the database's errors, and
  // errc::kConnectionClosed when Read has not run.
  void Advance(const std::string& next);

 private:
  const store::Connection& service_;
  std::optional<RuleOwner> owner_;
  std::unique_ptr<store::Connection> writer_;
  bool open_transaction_ = false;
};

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_RUNNING_NUMBER_LEASE_H_
