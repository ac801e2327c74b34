// Statements of voided serial numbers: a journal's serial number marked
// void once, with who, when and why; the mark is never removed.
#ifndef QUILLET_STORE_VOID_QUERIES_H_
#define QUILLET_STORE_VOID_QUERIES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/connection.h"

// Every operation runs on the connection passed and binds its values as
// parameters; it raises the database's error. Thread safety: that of the
// connection.
namespace quillet::store::voided {

struct VoidRow {
  std::string serial;
  std::string owner_code;
  std::string owner_type;
  std::optional<int32_t> number;  // the running number; none for a rule without one
  std::string voided;             // UTC, "YYYY-MM-DDTHH:MM:SS.mmmZ"
  std::string user;
  std::string reason;
};

// Marks the serial number void; false, having written nothing, when it is
// void already (the primary key decides, also between writers at once).
bool MarkVoid(Connection& writer, const VoidRow& row);

// The mark of the serial number; nullopt when it is not void.
std::optional<VoidRow> VoidOf(Connection& db, const std::string& serial);

// The owner's voided numbers, by time.
std::vector<VoidRow> OwnerVoids(Connection& db, const std::string& owner_code,
                                const std::string& owner_type);

}  // namespace quillet::store::voided

#endif  // QUILLET_STORE_VOID_QUERIES_H_
