// Marking a serial number of the journal void: once, with who, when and why.
#ifndef QUILLET_MAINTENANCE_VOIDED_SERIAL_H_
#define QUILLET_MAINTENANCE_VOIDED_SERIAL_H_

#include <optional>
#include <string>

#include "store/connection.h"
#include "store/void_queries.h"

namespace quillet::maintenance {

struct VoidOutcome {
  enum class Kind { kVoided, kNotInJournal, kVoidedBefore } kind = Kind::kVoided;
  store::voided::VoidRow row;  // the mark made now, or the earlier one
};

// Marks `serial` void by `user` for `reason`, on a write connection. The
// journal entry stays; a serial number the journal does not hold, or one
// marked before (also by a writer at the same moment), is refused with the
// outcome saying so. Raises the database's errors (a database without the
// journal tables raises what IsMissingTable recognises).
VoidOutcome VoidSerial(store::Connection& db, const std::string& serial, const std::string& reason,
                       const std::string& user);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_VOIDED_SERIAL_H_
