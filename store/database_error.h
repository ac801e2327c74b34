// Database failures turned into the component's Error, once, at the store's
// boundary: callers above the store see the database's own number and text.
#ifndef QUILLET_STORE_DATABASE_ERROR_H_
#define QUILLET_STORE_DATABASE_ERROR_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "quillet/error.h"
#include "store/connection.h"

namespace soci {
class soci_error;
}

namespace quillet::store {

// Error numbers of database failures.
//
// SQLite: the result code, extended where SQLite has one (1 SQLITE_ERROR for
// a syntax error or a missing table, 2067 SQLITE_CONSTRAINT_UNIQUE, 275
// SQLITE_CONSTRAINT_CHECK, 5 SQLITE_BUSY, 14 SQLITE_CANTOPEN when the file
// cannot be opened). The description is SQLite's message followed by the
// code's name: "no such table: t (SQLITE_ERROR)".
//
// PostgreSQL: the five-character SQLSTATE read as a base-36 number, each
// character a digit 0-9 or A-Z (A = 10 ... Z = 35), most significant first:
// "42P01" (undefined table) is 4*36^4 + 2*36^3 + 25*36^2 + 0*36 + 1 = 6844177;
// "23505" (unique violation) is 3505685. The description is the server's
// primary message followed by " (SQLSTATE 42P01)". A failure to connect has no
// SQLSTATE of its own and is reported as "08006" (connection failure); any
// other failure without one as "XX000" (internal error).
//
// Failures raised by the database access library itself, outside both
// databases, carry 1 (SQLITE_ERROR) on SQLite and "XX000" on PostgreSQL.

inline constexpr int32_t kSqliteError = 1;
inline constexpr int32_t kSqliteCantOpen = 14;

// The base-36 number of a SQLSTATE ("42P01" -> 6844177). An empty text, one
// longer than five characters, or characters other than 0-9 and A-Z (either
// case) give -1.
int32_t SqlStateNumber(std::string_view sqlstate);
// The five-character SQLSTATE of such a number (6844177 -> "42P01").
std::string SqlStateText(int32_t number);

// Whether `error` is a database's refusal of a row whose unique key another
// row already holds (SQLite 2067 or 1555, PostgreSQL 23505).
bool IsUniqueViolation(const Error& error);

// Whether `error` is a database's answer to a statement on a table it does
// not have (SQLite's "no such table", PostgreSQL 42P01).
bool IsMissingTable(const Error& error);

// The Error every store operation raises for a failure of the database: the
// database's number and text as above, and the dialect it came from, so that
// a caller can tell the database's own errors from the component's.
class DatabaseFailure : public Error {
 public:
  DatabaseFailure(const Error& error, Dialect dialect) : Error(error), dialect_(dialect) {}
  Dialect dialect() const { return dialect_; }
  // PostgreSQL's five-character SQLSTATE; "" on SQLite.
  std::string SqlState() const;
  // SQLite's extended result code; 0 on PostgreSQL.
  int SqliteCode() const { return dialect_ == Dialect::kSqlite ? number() : 0; }

 private:
  Dialect dialect_;
};

// The failure of the database access library on `dialect`.
DatabaseFailure DatabaseError(const soci::soci_error& failure, Dialect dialect);

// Whether an error says that the database cannot be reached or used right
// now: a connection that is closed or cannot be made, a bad connection
// string, a file that cannot be opened, PostgreSQL's connection and
// operator-intervention classes (a server shutting down or restarting).
bool IsUnavailable(const Error& error);

}  // namespace quillet::store

#endif  // QUILLET_STORE_DATABASE_ERROR_H_
