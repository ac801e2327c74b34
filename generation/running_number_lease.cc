#include "generation/running_number_lease.h"

#include "quillet/error.h"
#include "store/policy_queries.h"
#include "store/rule_queries.h"

namespace quillet::generation {

RunningNumberLease::~RunningNumberLease() {
  if (!open_transaction_) return;
  try {
    writer_->Rollback();
  } catch (...) {
    // Giving the connection back ends the transaction all the same.
  }
}

store::Connection& RunningNumberLease::Reader(store::Connection& service) {
  if (!store::generation::ReadsBestOnWriter(service)) return service;
  if (!writer_) writer_ = store::generation::OpenWriter(service_);
  return *writer_;
}

void RunningNumberLease::Release() {
  if (!owner_ && !open_transaction_) writer_.reset();
}

std::shared_ptr<RecordSet> RunningNumberLease::Read(const RuleOwner& owner) {
  Begin(owner);
  return store::generation::LockedHeaderNumber(*writer_, owner.code, owner.KindText());
}

void RunningNumberLease::Begin(const RuleOwner& owner) {
  if (owner_) throw Error::ObjectOpen();
  if (!writer_) writer_ = store::generation::OpenWriter(service_);
  store::generation::BeginWrite(*writer_);
  open_transaction_ = true;
  owner_ = owner;
}

int32_t RunningNumberLease::ClaimCounter(const RuleOwner& owner, const std::string& key,
                                         int32_t start, int32_t amount) {
  Begin(owner);
  return store::policy::AdvanceCounter(*writer_, owner.code, owner.KindText(), key, start, amount);
}

store::Connection& RunningNumberLease::Writer() {
  if (!open_transaction_) {
    throw Error::ObjectClosed();
  }
  return *writer_;
}

void RunningNumberLease::Commit() {
  Writer();
  store::generation::CommitWrite(*writer_);
  open_transaction_ = false;
  advanced_ = true;
  writer_.reset();
}

std::shared_ptr<RecordSet> RunningNumberLease::Claim(const RuleOwner& owner, int32_t step) {
  if (owner_) throw Error::ObjectOpen();
  if (!writer_) writer_ = store::generation::OpenWriter(service_);
  const std::optional<int32_t> before =
      store::generation::AdvanceNumber(*writer_, owner.code, owner.KindText(), step);
  if (!before) return Read(owner);
  owner_ = owner;
  advanced_ = true;
  writer_.reset();
  return std::make_shared<RecordSet>(
      std::vector<Column>{{"cnumber"}},
      std::vector<std::vector<Variant>>{{Variant(std::to_string(*before))}});
}

bool RunningNumberLease::AdvanceFrom(const RuleOwner& owner, const std::string& expected,
                                     const std::string& next) {
  if (owner_) throw Error::ObjectOpen();
  if (!writer_) writer_ = store::generation::OpenWriter(service_);
  if (!store::generation::ReplaceNumber(*writer_, owner.code, owner.KindText(), expected, next)) {
    return false;
  }
  owner_ = owner;
  advanced_ = true;
  writer_.reset();
  return true;
}

void RunningNumberLease::Advance(const std::string& next) {
  if (!owner_) {
    throw Error::ObjectClosed();
  }
  if (advanced_) return;
  store::generation::SetNumber(*writer_, owner_->code, owner_->KindText(), next);
  store::generation::CommitWrite(*writer_);
  open_transaction_ = false;
  writer_.reset();
}

}  // namespace quillet::generation
