#include "generation/running_number_lease.h"

#include "quillet/error.h"
#include "store/rule_queries.h"

namespace quillet::generation {

RunningNumberLease::~RunningNumberLease() {
  if (!open_transaction_) return;
  try {
    writer_->Rollback();
  } catch (...) {
    // Closing the connection ends the transaction all the same.
  }
}

std::shared_ptr<RecordSet> RunningNumberLease::Read(const RuleOwner& owner) {
  if (writer_) throw Error(errc::kObjectOpen, "Operation is not allowed when the object is open.");
  writer_ = store::generation::OpenWriter(service_);
  store::generation::BeginWrite(*writer_);
  open_transaction_ = true;
  owner_ = owner;
  return store::generation::LockedHeaderNumber(*writer_, owner.code, owner.TypeText());
}

void RunningNumberLease::Advance(const std::string& next) {
  if (!owner_) {
    throw Error(errc::kConnectionClosed, "Operation is not allowed when the object is closed.");
  }
  store::generation::SetNumber(*writer_, owner_->code, owner_->TypeText(), next);
  store::generation::CommitWrite(*writer_);
  open_transaction_ = false;
  writer_.reset();
}

}  // namespace quillet::generation
