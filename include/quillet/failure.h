// Failure: the one exception the typed API (quillet/numbering.h) throws. It is
// an Error (a number and a text, as every layer reports them) with a kind that
// says what a caller can do about it, and, for a database's own error, the
// database's code.
#ifndef QUILLET_FAILURE_H_
#define QUILLET_FAILURE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "quillet/error.h"
#include "quillet/export.h"

namespace quillet {

enum class FailureKind {
  // The request cannot be carried out as written: a malformed owner, segment,
  // date, value name or number. Asking again unchanged fails again.
  kInvalidRequest,
  // An item, class, rule, data source or value the request names does not
  // exist.
  kNotFound,
  // The stored data does not allow the change: a rule name another owner's
  // rule carries.
  kConflict,
  // A guard refused a change that would repeat or lose serial numbers (a
  // step that is not above 0, a running number set back); the request's
  // `force` carries it out all the same.
  kGuarded,
  // The database answered with an error of its own (a constraint, a lock
  // held too long, a table it lacks): sqlstate() or sqlite_code() says which.
  kDatabase,
  // The database cannot be reached or opened right now; the same request may
  // succeed later.
  kUnavailable,
};

// "invalid_request", "not_found", "conflict", "guarded", "database",
// "unavailable". Pure.
QUILLET_EXPORT std::string_view FailureKindName(FailureKind kind);

// Whether an error number of any layer (the database's, or the component's
// own "connection closed") says that the database cannot be reached or used
// right now: a lost or refused connection, a file that cannot be opened, a
// server shutting down. The same request may succeed later. Pure.
QUILLET_EXPORT bool IsUnavailableNumber(int32_t number);

class QUILLET_EXPORT Failure : public Error {
 public:
  Failure(FailureKind kind, int32_t number, const std::string& message)
      : Error(number, message), kind_(kind) {}
  // A database's error: `sqlstate` is PostgreSQL's five-character code ("" on
  // SQLite), `sqlite_code` SQLite's extended result code (0 on PostgreSQL).
  Failure(FailureKind kind, const Error& database_error, std::string sqlstate, int sqlite_code)
      : Error(database_error),
        kind_(kind),
        sqlstate_(std::move(sqlstate)),
        sqlite_code_(sqlite_code) {}

  FailureKind kind() const noexcept { return kind_; }
  // PostgreSQL's SQLSTATE of a database error ("23505"); empty otherwise.
  const std::string& sqlstate() const noexcept { return sqlstate_; }
  // SQLite's extended result code of a database error (2067); 0 otherwise.
  int sqlite_code() const noexcept { return sqlite_code_; }

 private:
  FailureKind kind_;
  std::string sqlstate_;
  int sqlite_code_ = 0;
};

}  // namespace quillet

#endif  // QUILLET_FAILURE_H_
