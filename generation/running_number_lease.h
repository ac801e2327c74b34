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
#include "store/write_pool.h"

namespace quillet::generation {

// The environment variable that bounds the write connections a process
// keeps for its leases and saves: a whole number from 1 up (else 8), read
// when the first write connection is asked for.
inline constexpr const char* kWritePoolVariable = store::WritePool::kBoundVariable;

// A write connection from the pool of the service connection's string,
// with one transaction: an immediate one on SQLite (other writers wait), the
// header row locked on PostgreSQL; or, for a plain number, one statement
// that reads and advances it at once. Used on one thread.
class RunningNumberLease {
 public:
  explicit RunningNumberLease(const store::Connection& service) : service_(service) {}
  // Rolls back, unless Advance committed: an issue that stops before saving
  // leaves the stored number as it was.
  ~RunningNumberLease();
  RunningNumberLease(const RunningNumberLease&) = delete;
  RunningNumberLease& operator=(const RunningNumberLease&) = delete;

  // The connection the reads before its claim are best sent on: the
  // write connection itself (opened here, no transaction) where the store
  // says so (store::generation::ReadsBestOnWriter), else `service`. Raises
  // the database's errors. Whoever takes another writer from the pool afterwards must give
  // this one back first (see Release).
  store::Connection& Reader(store::Connection& service);

  // Gives back the connection Reader opened; a lease holding a transaction
  // or a claim keeps it. Does not raise.
  void Release();

  // Opens the connection, begins the transaction and reads the owner's
  // cnumber under it (as the header's record set: no rows without a header).
  // Raises the database's errors, errc::kObjectOpen when called twice.
  std::shared_ptr<RecordSet> Read(const RuleOwner& owner);

  // Opens the connection and begins the transaction, reading nothing: for
  // an issue whose numbers come from elsewhere. Raises as Read does.
  void Begin(const RuleOwner& owner);

  // Begins as Begin does and takes `amount` from the owner's counter `key`
  // (created at `start`), which stays locked until the transaction ends;
  // returns the first number taken. Raises as Read does, and
  // errc::kOverflow past 32 bits.
  int32_t ClaimCounter(const RuleOwner& owner, const std::string& key, int32_t start,
                       int32_t amount);

  // The connection of the open transaction, for what the issue records with
  // it. Raises errc::kConnectionClosed without one.
  store::Connection& Writer();

  // Whether a transaction is open.
  bool open() const { return open_transaction_; }

  // Commits the transaction and gives the connection back; the header's
  // running number stays as it is. Raises as Advance does.
  void Commit();

  // Reads the owner's cnumber and advances it by `step` (the caller has
  // checked the sum against 32 bits when it calls Advance): in one statement
  // when the stored text is a plain number whose sum fits, after which
  // Advance does nothing; else as Read does. Raises as Read does.
  std::shared_ptr<RecordSet> Claim(const RuleOwner& owner, int32_t step);

  // Stores `next` as the owner's running number if it still reads
  // `expected`, in one statement without a transaction; returns whether it
  // did. Raises the database's errors, errc::kObjectOpen after Read or Claim.
  bool AdvanceFrom(const RuleOwner& owner, const std::string& expected, const std::string& next);

  // Stores `next` as the running number of the owner read, commits and
  // gives the connection back. Raises the database's errors, and
  // errc::kConnectionClosed when neither Read nor Claim has run.
  void Advance(const std::string& next);

 private:
  const store::Connection& service_;
  std::optional<RuleOwner> owner_;
  store::WritePool::Lease writer_;
  bool open_transaction_ = false;
  bool advanced_ = false;
};

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_RUNNING_NUMBER_LEASE_H_
