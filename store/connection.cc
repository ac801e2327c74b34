#include "store/connection.h"

#include <soci/postgresql/soci-postgresql.h>
#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <ctime>
#include <limits>
#include <typeinfo>
#include <utility>

#include "quillet/error.h"
#include "store/database_error.h"
#include "store/schema_tables.h"

namespace quillet::store {
namespace {

constexpr std::string_view kSqliteScheme = "sqlite:";
constexpr std::string_view kPostgresScheme = "postgresql:";
constexpr int kBusyTimeoutMs = 10000;

struct Target {
  Dialect dialect;
  std::string backend_connect_string;
};

Target ParseConnectionString(const std::string& connection_string) {
  const std::string_view text = connection_string;
  if (text.starts_with(kSqliteScheme) && text.size() > kSqliteScheme.size()) {
    return {Dialect::kSqlite, std::string(text.substr(kSqliteScheme.size()))};
  }
  // A bare libpq URI ("postgresql://...") is taken whole.
  if (text.starts_with("postgresql://") || text.starts_with("postgres://")) {
    return {Dialect::kPostgresql, connection_string};
  }
  if (text.starts_with(kPostgresScheme)) {
    return {Dialect::kPostgresql, std::string(text.substr(kPostgresScheme.size()))};
  }
  throw Error(errc::kBadConnectionString, "Unknown connection string \"" + connection_string +
                                              "\": expected sqlite:PATH or postgresql:CONNINFO.");
}

// SQLite's connect string is "key=value ..." only when it holds an equals
// sign; a plain path (blanks included) is taken whole, so a path is passed
// quoted only when it holds one.
std::string SqliteConnectString(const std::string& path) {
  if (path.find('=') == std::string::npos) return path;
  return "db=\"" + path + "\"";
}

[[noreturn]] void RaiseClosed() {
  throw Error(errc::kConnectionClosed,
              "The connection cannot be used to perform this operation. It is either closed or "
              "invalid in this context.");
}

// Runs `action`, raising every failure of the access library as the
// database's Error.
template <typename Action>
auto Translated(Dialect dialect, Action&& action) -> decltype(action()) {
  try {
    return action();
  } catch (const Error&) {
    throw;
  } catch (const soci::soci_error& failure) {
    throw DatabaseError(failure, dialect);
  } catch (const std::bad_cast&) {
    throw Error(errc::kTypeMismatch, "Type mismatch");
  }
}

// Parameter values and their indicators, kept alive (and unmoved) while a
// statement holds references to them.
class BoundParams {
 public:
  explicit BoundParams(const Params& params) {
    values_.reserve(params.size());
    indicators_.reserve(params.size());
    for (const Param& param : params) {
      values_.push_back(param.value_or(std::string()));
      indicators_.push_back(param ? soci::i_ok : soci::i_null);
    }
  }
  void BindTo(soci::statement& statement) {
    for (std::size_t i = 0; i < values_.size(); ++i) {
      statement.exchange(soci::use(values_[i], indicators_[i]));
    }
  }

 private:
  std::vector<std::string> values_;
  std::vector<soci::indicator> indicators_;
};

bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The first identifier of `sql` (outside quoted literals) that equals `name`
// without regard to case.
std::optional<std::string_view> SpellingInStatement(std::string_view name, std::string_view sql) {
  std::size_t i = 0;
  while (i < sql.size()) {
    if (sql[i] == '\'') {
      const auto close = sql.find('\'', i + 1);
      if (close == std::string_view::npos) break;
      i = close + 1;
    } else if (IsIdentifierChar(sql[i])) {
      std::size_t end = i;
      while (end < sql.size() && IsIdentifierChar(sql[end])) ++end;
      const std::string_view word = sql.substr(i, end - i);
      if (SameIgnoringCase(word, name)) return word;
      i = end;
    } else {
      ++i;
    }
  }
  return std::nullopt;
}

// PostgreSQL reports unquoted names folded to lower case. The column gets the
// spelling the statement gives it, else the one of the table definitions, as
// SQLite reports it.
std::string ColumnName(const std::string& reported, Dialect dialect, std::string_view sql) {
  if (dialect != Dialect::kPostgresql) return reported;
  for (char c : reported) {
    if (std::isupper(static_cast<unsigned char>(c))) return reported;  // quoted: kept
  }
  if (auto spelled = SpellingInStatement(reported, sql)) return std::string(*spelled);
  return std::string(DefinedColumnSpelling(reported));
}

FieldType FieldTypeOf(soci::data_type type) {
  switch (type) {
    case soci::dt_integer:
    case soci::dt_long_long:
    case soci::dt_unsigned_long_long:
      return FieldType::kInteger;
    case soci::dt_double:
      return FieldType::kDouble;
    default:
      return FieldType::kText;
  }
}

// A whole number as a 32-bit integer when it fits, else as a double.
template <typename Whole>
Variant WholeNumber(Whole value) {
  if (value >= static_cast<Whole>(0) ? static_cast<unsigned long long>(value) <= INT32_MAX
                                     : static_cast<long long>(value) >= INT32_MIN) {
    return Variant(static_cast<int32_t>(value));
  }
  return Variant(static_cast<double>(value));
}

// "YYYY-MM-DD", with "THH:MM:SS" when the time is not midnight.
std::string IsoText(const std::tm& t) {
  char buffer[80];
  if (t.tm_hour == 0 && t.tm_min == 0 && t.tm_sec == 0) {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday);
  } else {
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  }
  return buffer;
}

Variant FieldValue(const soci::row& row, std::size_t i) {
  if (row.get_indicator(i) == soci::i_null) return Variant::Null();
  switch (row.get_properties(i).get_data_type()) {
    case soci::dt_integer:
      return WholeNumber(row.get<int>(i));
    case soci::dt_long_long:
      return WholeNumber(row.get<long long>(i));
    case soci::dt_unsigned_long_long:
      return WholeNumber(row.get<unsigned long long>(i));
    case soci::dt_double:
      return Variant(row.get<double>(i));
    case soci::dt_date:
      return Variant(IsoText(row.get<std::tm>(i)));
    default:
      return Variant(row.get<std::string>(i));
  }
}

// The database handles under a session. The access library exports no type
// information for its backends, so the sanitizer's check of the downcast is
// off here; the session's dialect guarantees the backend's type.
__attribute__((no_sanitize("vptr"))) sqlite_api::sqlite3* SqliteHandle(soci::session& session) {
  return static_cast<soci::sqlite3_session_backend*>(session.get_backend())->conn_;
}

__attribute__((no_sanitize("vptr"))) PGconn* PostgresHandle(soci::session& session) {
  return static_cast<soci::postgresql_session_backend*>(session.get_backend())->conn_;
}

}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::Open(const std::string& connection_string) {
  if (session_) throw Error(errc::kObjectOpen, "Operation is not allowed when the object is open.");
  const Target target = ParseConnectionString(connection_string);
  session_ = Translated(target.dialect, [&] {
    if (target.dialect == Dialect::kSqlite) {
      auto session = std::make_unique<soci::session>(
          *soci::factory_sqlite3(), SqliteConnectString(target.backend_connect_string));
      sqlite_api::sqlite3_extended_result_codes(SqliteHandle(*session), 1);
      // Writers in other processes wait for the lock instead of failing.
      *session << "PRAGMA busy_timeout=" + std::to_string(kBusyTimeoutMs);
      *session << "PRAGMA journal_mode=WAL";
      return session;
    }
    auto session =
        std::make_unique<soci::session>(*soci::factory_postgresql(), target.backend_connect_string);
    // Server notices (a cascading drop, an existing table) are not failures.
    PQsetNoticeProcessor(
        PostgresHandle(*session), [](void*, const char*) {}, nullptr);
    *session << "SET client_encoding TO 'UTF8'";
    return session;
  });
  dialect_ = target.dialect;
  connection_string_ = connection_string;
}

bool Connection::IsOpen() const { return session_ != nullptr; }

void Connection::Close() { session_.reset(); }

Dialect Connection::dialect() const {
  if (!session_) RaiseClosed();
  return dialect_;
}

soci::session& Connection::session() {
  if (!session_) RaiseClosed();
  return *session_;
}

std::shared_ptr<RecordSet> Connection::Query(const Sql& sql, const Params& params) {
  soci::session& db = session();
  const std::string text(sql.For(dialect_));
  return Translated(dialect_, [&] {
    BoundParams bound(params);
    soci::row row;
    soci::statement statement(db);
    statement.alloc();
    statement.prepare(text, soci::details::st_one_time_query);
    bound.BindTo(statement);
    statement.exchange(soci::into(row));
    statement.define_and_bind();
    bool has_row = statement.execute(true);

    std::vector<Column> columns;
    for (std::size_t i = 0; i < row.size(); ++i) {
      const soci::column_properties& properties = row.get_properties(i);
      columns.push_back({ColumnName(properties.get_name(), dialect_, text),
                         FieldTypeOf(properties.get_data_type())});
    }
    std::vector<std::vector<Variant>> rows;
    while (has_row) {
      std::vector<Variant> values;
      values.reserve(row.size());
      for (std::size_t i = 0; i < row.size(); ++i) values.push_back(FieldValue(row, i));
      rows.push_back(std::move(values));
      has_row = statement.fetch();
    }
    return std::make_shared<RecordSet>(std::move(columns), std::move(rows));
  });
}

long long Connection::Execute(const Sql& sql, const Params& params) {
  soci::session& db = session();
  const std::string text(sql.For(dialect_));
  return Translated(dialect_, [&] {
    BoundParams bound(params);
    soci::statement statement(db);
    statement.alloc();
    statement.prepare(text, soci::details::st_one_time_query);
    bound.BindTo(statement);
    statement.define_and_bind();
    statement.execute(true);
    return statement.get_affected_rows();
  });
}

void Connection::Begin() {
  soci::session& db = session();
  if (dialect_ == Dialect::kPostgresql) {
    if (PQtransactionStatus(PostgresHandle(db)) != PQTRANS_IDLE) {
      throw Error(SqlStateNumber("25001"),
                  "there is already a transaction in progress (SQLSTATE 25001)");
    }
  }
  Execute(Sql{"BEGIN IMMEDIATE", "BEGIN"});
}

void Connection::Commit() { Execute(Sql{"COMMIT"}); }

void Connection::Rollback() { Execute(Sql{"ROLLBACK"}); }

Connection::Transaction::Transaction(Connection& connection) : connection_(connection) {
  connection_.Begin();
}

Connection::Transaction::~Transaction() {
  if (done_) return;
  try {
    connection_.Rollback();
  } catch (...) {
    // Nothing to report from a destructor: the connection's own state (a
    // rolled-back or broken session) is what the next statement meets.
  }
}

void Connection::Transaction::Commit() {
  connection_.Commit();
  done_ = true;
}

std::unique_ptr<Connection> OpenWriteConnection(const Connection& service) {
  if (!service.IsOpen()) RaiseClosed();
  auto connection = std::make_unique<Connection>();
  connection->Open(service.ConnectionString());
  return connection;
}

}  // namespace quillet::store
