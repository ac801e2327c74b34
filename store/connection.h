// Connection: one database session over SOCI, SQLite or PostgreSQL.
#ifndef QUILLET_STORE_CONNECTION_H_
#define QUILLET_STORE_CONNECTION_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/recordset.h"

namespace soci {
class session;
}

namespace quillet::store {

enum class Dialect { kSqlite, kPostgresql };

// A statement's text for each dialect. Placeholders are written `:1`, `:2`,
// ... in the order the parameters are passed; no placeholder appears twice.
struct Sql {
  constexpr Sql(std::string_view both) : sqlite(both), postgresql(both) {}
  constexpr Sql(std::string_view sqlite_text, std::string_view postgresql_text)
      : sqlite(sqlite_text), postgresql(postgresql_text) {}
  std::string_view For(Dialect d) const { return d == Dialect::kSqlite ? sqlite : postgresql; }

  std::string_view sqlite;
  std::string_view postgresql;
};

// A bound value: a text, or null. Numbers are bound as their decimal text and
// converted by the database to the column's type.
using Param = std::optional<std::string>;
using Params = std::vector<Param>;

// A database connection opened from a connection string:
//   sqlite:PATH           a file (created when missing), WAL mode, busy timeout
//   postgresql:CONNINFO   a libpq key/value string or URI
// Every database failure raises Error with the database's own number and
// description (see database_error.h). Thread safety: one thread at a time.
class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Raises errc::kObjectOpen when already open, errc::kBadConnectionString for
  // an unknown scheme, or the database's error when it cannot connect.
  void Open(const std::string& connection_string);
  bool IsOpen() const;
  void Close();
  // The string it was opened with; empty before Open.
  const std::string& ConnectionString() const { return connection_string_; }
  // Raises errc::kConnectionClosed when not open.
  Dialect dialect() const;

  // Runs a query and copies every row into a client-side record set; no
  // cursor stays open afterwards.
  std::shared_ptr<RecordSet> Query(const Sql& sql, const Params& params = {});
  // Runs a statement; returns the number of rows it changed.
  long long Execute(const Sql& sql, const Params& params = {});

  // Transactions: Begin raises when one is already open. A Transaction that
  // is destroyed without Commit rolls back.
  class Transaction {
   public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    void Commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

   private:
    Connection& connection_;
    bool done_ = false;
  };
  // SQLite: BEGIN IMMEDIATE, so a read-then-write inside cannot lose a race.
  // PostgreSQL: BEGIN; lock rows with `for update` where needed.
  void Begin();
  void Commit();
  void Rollback();

 private:
  soci::session& session();

  std::unique_ptr<soci::session> session_;
  std::string connection_string_;
  Dialect dialect_ = Dialect::kSqlite;
};

// Opens a short-lived write connection from another connection's string.
std::unique_ptr<Connection> OpenWriteConnection(const Connection& service);

}  // namespace quillet::store

#endif  // QUILLET_STORE_CONNECTION_H_
