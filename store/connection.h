// Connection: one database session over SOCI, SQLite or PostgreSQL.
#ifndef QUILLET_STORE_CONNECTION_H_
#define QUILLET_STORE_CONNECTION_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
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

// Whether opening a SQLite file that does not exist creates it.
enum class Create { kIfMissing, kNever };

// A database connection opened from a connection string:
//   sqlite:PATH           a file (created when missing), WAL mode, busy timeout;
//                         read-only when this process cannot write the file
//                         or its folder
//   postgresql:CONNINFO   a libpq key/value string or URI
// Every database failure raises Error with the database's own number and
// description (see database_error.h). A bound text that holds a NUL
// character or is not UTF-8 raises errc::kInvalidText before anything is
// sent. Thread safety: one thread at a time.
//
// Statements are prepared once per connection and reused (on PostgreSQL as
// named server-side statements); statement texts are the cache's keys.
// Through a connection pooler no statement is kept: a pooler that shares
// server sessions per transaction (PgBouncer's transaction pooling) hands
// the next transaction a session where the name is unknown, or already
// taken by another client. There every statement goes unnamed, parsed with
// its values in one round trip. The pooler is recognised when the session
// opens (see ThroughPooler); nothing needs to be configured.
//
// A connection heals itself: once the server has gone away (a terminated
// backend, a restarted server, a primary that failed over, a SQLite file
// moved or deleted), the next statement that runs outside a transaction
// first opens the session again from the same string; a PostgreSQL string
// naming several hosts with target_session_attrs=read-write then reaches
// whichever has become the primary. A server that refuses a write as
// read-only (SQLSTATE 25006: a standby, a demoted primary) counts as gone
// too. A statement that fails because the connection was lost is run once
// more on the new session only when that cannot repeat an effect: a read or
// BEGIN, outside a transaction. Any other failure reaches the caller; a
// transaction cut by a lost connection is rolled back by the server.
class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Raises errc::kObjectOpen when already open, errc::kBadConnectionString for
  // an unknown scheme, or the database's error when it cannot connect. With
  // Create::kNever a missing SQLite file raises 14 (SQLITE_CANTOPEN).
  void Open(const std::string& connection_string, Create create = Create::kIfMissing);
  bool IsOpen() const;
  void Close();
  // The string it was opened with; empty before Open.
  const std::string& ConnectionString() const { return connection_string_; }
  // Raises errc::kConnectionClosed when not open.
  Dialect dialect() const;
  // Whether the PostgreSQL session runs through a connection pooler: the
  // server process that answers is not the one the login named (a pooler
  // answers the login with a key of its own). Found when the session opens,
  // again on every reopening; false on SQLite. Raises
  // errc::kConnectionClosed when not open.
  bool ThroughPooler() const;

  // Runs a query and copies every row into a client-side record set; no
  // cursor stays open afterwards.
  std::shared_ptr<RecordSet> Query(const Sql& sql, const Params& params = {});
  // Runs a statement; returns the number of rows it changed.
  long long Execute(const Sql& sql, const Params& params = {});
  // Runs `sql` once for each of `rows` on one prepared statement: Execute
  // for many rows without finding the statement again for each. Raises as
  // Execute does; rows before a failing one stay run (within the caller's
  // transaction).
  void ExecuteEach(const Sql& sql, const std::vector<Params>& rows);

  // Inserts `rows` into `table`, each row one value per column of `columns`
  // (names written by the caller, never user values). PostgreSQL streams them
  // with COPY, SQLite runs one prepared insert per row. Runs in the caller's
  // transaction; without one a failure on SQLite keeps the rows before it.
  void InsertRows(std::string_view table, const std::vector<std::string_view>& columns,
                  const std::vector<Params>& rows);

  // As InsertRows, but a row that a unique key of `table` already holds, or
  // that an earlier row of `rows` gave it, is left out (ON CONFLICT DO
  // NOTHING); a concurrent writer of the same key is waited for. PostgreSQL
  // streams the rows with COPY into a temporary table dropped at commit and
  // inserts them from there in the order of `key` (the unique key's columns),
  // so that writers of overlapping rows take their locks in one order. Runs
  // in the caller's transaction, or in one of its own.
  void InsertNewRows(std::string_view table, const std::vector<std::string_view>& columns,
                     const std::vector<std::string_view>& key, const std::vector<Params>& rows);

  // Whether a transaction begun with Begin is open.
  bool InTransaction() const { return in_transaction_; }
  // Whether the session is known to be gone (or to refuse writes), or is
  // found gone by a look that sends nothing to the server; a connection that
  // is not open is not.
  bool Lost();
  // Statements sent over this connection since it was first opened, retries
  // and reconnections included.
  uint64_t SentStatements() const { return sent_statements_; }
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
  struct Prepared;

  soci::session& session();
  // The session, opened again first when it was lost and no transaction is open.
  soci::session& UsableSession();
  void OpenSession(Create create);
  // Runs `action` on the statement of `sql` with `params` bound, prepared or
  // taken from the cache, on a usable session, by the reconnection rules above.
  template <typename Action>
  auto RunStatement(std::string_view sql, const Params& params, bool query, Action&& action)
      -> decltype(action(std::declval<Prepared&>(), std::declval<const std::string&>()));
  Prepared& PreparedFor(const std::string& text, std::size_t params, bool query);
  void EndTransaction(const Sql& sql);
  // Streams `rows` with COPY into `table` (PostgreSQL).
  void CopyRows(const std::string& table, const std::string& names,
                const std::vector<Params>& rows);
  // Runs one statement of its own, outside the statement cache (PostgreSQL).
  void ExecuteOnce(const std::string& text);

  std::string connection_string_;
  Dialect dialect_ = Dialect::kSqlite;
  bool through_pooler_ = false;
  bool keep_prepared_ = true;  // statements are cached on this session
  bool open_ = false;
  bool lost_ = false;
  bool in_transaction_ = false;
  uint64_t sent_statements_ = 0;
  uint64_t staging_tables_ = 0;  // temporary tables made by InsertNewRows
  std::unique_ptr<soci::session> session_;
  // Declared after the session: statements go before their session does.
  std::unordered_map<std::string, std::unique_ptr<Prepared>> prepared_;
};

// Whether PostgreSQL sessions reached directly keep their statements
// prepared (the default), or send every statement unnamed as they do through
// a pooler. Read when a session opens; for measuring what prepared
// statements save. Thread-safe.
void SetPreparedWhenDirect(bool keep);

}  // namespace quillet::store

#endif  // QUILLET_STORE_CONNECTION_H_
