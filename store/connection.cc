#include "store/connection.h"

#include <soci/postgresql/soci-postgresql.h>
#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>
#include <typeinfo>
#include <utility>

#include "core/ascii_case.h"
#include "core/text_check.h"
#include "quillet/error.h"
#include "store/connection_counters.h"
#include "store/database_error.h"
#include "store/schema_tables.h"

namespace quillet::store {
namespace {

constexpr std::string_view kSqliteScheme = "sqlite:";
constexpr std::string_view kPostgresScheme = "postgresql:";
constexpr int kBusyTimeoutMs = 10000;
// SQLSTATE 25006, read_only_sql_transaction, as its error number.
const int32_t kReadOnlyTransaction = SqlStateNumber("25006");

std::atomic<bool> prepared_when_direct{true};

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

// How a SQLite file is opened. A reader must not need to write: when this
// process cannot write the file, or cannot create the files SQLite keeps
// beside it, the file is opened read-only, and writing fails with SQLite's
// own "attempt to write a readonly database".
enum class SqliteAccess {
  kReadWrite,  // created when missing; write-ahead logging
  kReadOnly,   // read-only, sharing the log of a writer that has it open
  kImmutable,  // read as it stands: no log can be made and none exists
};

SqliteAccess AccessTo(const std::string& path) {
  if (path.empty() || path == ":memory:" || ::access(path.c_str(), F_OK) != 0) {
    return SqliteAccess::kReadWrite;
  }
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  const bool folder_writable = ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
  if (folder_writable && ::access(path.c_str(), W_OK) == 0) return SqliteAccess::kReadWrite;
  if (!folder_writable && ::access((path + "-wal").c_str(), F_OK) != 0) {
    return SqliteAccess::kImmutable;
  }
  return SqliteAccess::kReadOnly;
}

// `path` as the path of a file: URI, escaping what a URI reads otherwise.
std::string FileUri(const std::string& path, std::string_view query) {
  std::string uri = "file:";
  for (const char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static constexpr char kHex[] = "0123456789abcdef";
      uri += {'%', kHex[static_cast<unsigned char>(c) >> 4], kHex[c & 0xf]};
    } else {
      uri += c;
    }
  }
  return uri + "?" + std::string(query);
}

// SQLite's connect string is "key=value ..." only when it holds an equals
// sign; a plain path (blanks included) is taken whole, so a path is passed
// quoted only when it holds one.
std::string SqliteConnectString(const std::string& path, SqliteAccess access) {
  switch (access) {
    case SqliteAccess::kReadOnly:
      return "db=\"" + path + "\" readonly=1";
    case SqliteAccess::kImmutable:
      return "db=\"" + FileUri(path, "immutable=1") + "\" readonly=1";
    case SqliteAccess::kReadWrite:
      break;
  }
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
    throw Error::TypeMismatch();
  }
}

bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

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
      if (service::EqualsIgnoringAsciiCase(word, name)) return word;
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

// Statements worth keeping prepared: reads (a `with` query among them) and
// row changes of modest size.
// Transaction control, schema changes and statements built with thousands
// of placeholders run once.
constexpr std::size_t kLongestPreparedText = 4096;
constexpr std::size_t kMostPreparedStatements = 64;

std::string_view FirstWord(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  std::size_t end = start;
  while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
  return text.substr(start, end - start);
}

bool Cacheable(std::string_view text) {
  if (text.size() > kLongestPreparedText) return false;
  const std::string_view word = FirstWord(text);
  return service::EqualsIgnoringAsciiCase(word, "select") ||
         service::EqualsIgnoringAsciiCase(word, "with") ||
         service::EqualsIgnoringAsciiCase(word, "insert") ||
         service::EqualsIgnoringAsciiCase(word, "update") ||
         service::EqualsIgnoringAsciiCase(word, "delete");
}

// Statements that change nothing by themselves: sending one again after the
// connection was lost cannot repeat an effect.
bool Harmless(std::string_view text) {
  const std::string_view word = FirstWord(text);
  return service::EqualsIgnoringAsciiCase(word, "select") ||
         service::EqualsIgnoringAsciiCase(word, "begin");
}

// SQLite result codes after which the file must be opened again: I/O errors,
// a file that cannot be opened or is not a database, and a file moved or
// deleted while open (SQLITE_READONLY_DBMOVED).
bool SqliteFileGone(int32_t number) {
  const int32_t primary = number & 0xff;
  return primary == 10 || primary == kSqliteCantOpen || primary == 26 || number == 1032;
}

// COPY's text format: backslash escapes for the characters that end a field
// or a row; \N stands for null.
void AppendCopyField(std::string& line, const Param& value) {
  if (!value) {
    line += "\\N";
    return;
  }
  for (char c : *value) {
    switch (c) {
      case '\\':
        line += "\\\\";
        break;
      case '\t':
        line += "\\t";
        break;
      case '\n':
        line += "\\n";
        break;
      case '\r':
        line += "\\r";
        break;
      default:
        line += c;
    }
  }
}

// The failure of a PostgreSQL result as the access library raises it.
void CheckPostgresResult(PGconn* connection, PGresult* result, ExecStatusType wanted) {
  const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
  if (status == wanted) {
    PQclear(result);
    return;
  }
  std::string message = result ? PQresultErrorMessage(result) : PQerrorMessage(connection);
  const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  const std::string sqlstate = state ? state : "";
  PQclear(result);
  throw soci::postgresql_soci_error(message, sqlstate.size() == 5 ? sqlstate.c_str() : "");
}

// Whether a pooler stands between the session and the server. A session of
// its own names its server process at login; a pooler, which lends server
// sessions to many clients, answers the login with a key of its own. A
// server that cannot say which process it runs (a compatible engine without
// pg_backend_pid) is treated as pooled: unnamed statements work everywhere.
bool ServerProcessDiffers(PGconn* handle) {
  PGresult* result = PQexec(handle, "select pg_backend_pid()");
  if (PQresultStatus(result) != PGRES_TUPLES_OK) {
    if (PQstatus(handle) == CONNECTION_BAD) CheckPostgresResult(handle, result, PGRES_TUPLES_OK);
    PQclear(result);
    return true;
  }
  const bool differs = PQntuples(result) != 1 || PQgetisnull(result, 0, 0) ||
                       std::strtoll(PQgetvalue(result, 0, 0), nullptr, 10) != PQbackendPID(handle);
  PQclear(result);
  return differs;
}

// Values reach the database as C strings and as UTF-8 text: a NUL would cut
// a value short, and bytes that are not UTF-8 would be stored by SQLite and
// refused by PostgreSQL. Both are refused before anything is sent.
void RequireValidParams(const Params& params) {
  for (std::size_t i = 0; i < params.size(); ++i) {
    if (params[i]) {
      RequireValidText(*params[i], "Value " + std::to_string(i + 1) + " for the database");
    }
  }
}

std::string JoinedNames(const std::vector<std::string_view>& names) {
  std::string joined;
  for (std::string_view name : names) {
    if (!joined.empty()) joined += ',';
    joined += name;
  }
  return joined;
}

// The insert of one row into `table` (SQLite), `tail` appended.
std::string SqliteInsert(std::string_view table, const std::vector<std::string_view>& columns,
                         std::string_view tail) {
  std::string text =
      "insert into " + std::string(table) + " (" + JoinedNames(columns) + ") values (";
  for (std::size_t i = 1; i <= columns.size(); ++i) {
    text += (i > 1 ? ",:" : ":") + std::to_string(i);
  }
  text += ")";
  return text + std::string(tail);
}

}  // namespace

// A statement kept with the values it binds by reference.
struct Connection::Prepared {
  Prepared(soci::session& session, const std::string& text, std::size_t params, bool query,
           soci::details::statement_type type)
      : values(params), indicators(params, soci::i_ok), statement(session) {
    statement.alloc();
    statement.prepare(text, type);
    for (std::size_t i = 0; i < params; ++i) {
      statement.exchange(soci::use(values[i], indicators[i]));
    }
    if (query) statement.exchange(soci::into(row));
    statement.define_and_bind();
  }

  void Bind(const Params& params) {
    if (params.size() != values.size()) {
      throw soci::soci_error("The statement takes " + std::to_string(values.size()) + " values, " +
                             std::to_string(params.size()) + " were given.");
    }
    for (std::size_t i = 0; i < params.size(); ++i) {
      values[i] = params[i].value_or(std::string());
      indicators[i] = params[i] ? soci::i_ok : soci::i_null;
    }
  }

  // The spelling of column `i`, worked out once for each name the database
  // reports: a kept statement answers with the same columns every time.
  const std::string& NameOf(std::size_t i, const std::string& reported, Dialect dialect,
                            std::string_view text) {
    if (names.size() <= i) names.resize(i + 1);
    auto& [known, spelled] = names[i];
    if (spelled.empty() || known != reported) {
      known = reported;
      spelled = ColumnName(reported, dialect, text);
    }
    return spelled;
  }

  soci::row row;
  std::vector<std::pair<std::string, std::string>> names;  // reported, spelled
  std::vector<std::string> values;
  std::vector<soci::indicator> indicators;
  soci::statement statement;
};

Connection::Connection() = default;

Connection::~Connection() { Close(); }

void Connection::Open(const std::string& connection_string, Create create) {
  if (open_) throw Error::ObjectOpen();
  connection_string_ = connection_string;
  try {
    OpenSession(create);
  } catch (...) {
    connection_string_.clear();
    throw;
  }
  open_ = true;
}

void Connection::OpenSession(Create create) {
  const Target target = ParseConnectionString(connection_string_);
  if (target.dialect == Dialect::kSqlite && create == Create::kNever &&
      !std::filesystem::exists(target.backend_connect_string)) {
    throw Error(kSqliteCantOpen, "unable to open database file");
  }
  bool through_pooler = false;
  session_ = Translated(target.dialect, [&] {
    if (target.dialect == Dialect::kSqlite) {
      const SqliteAccess access = AccessTo(target.backend_connect_string);
      auto session = std::make_unique<soci::session>(
          *soci::factory_sqlite3(), SqliteConnectString(target.backend_connect_string, access));
      sqlite_api::sqlite3_extended_result_codes(SqliteHandle(*session), 1);
      // Writers in other processes wait for the lock instead of failing.
      *session << "PRAGMA busy_timeout=" + std::to_string(kBusyTimeoutMs);
      if (access == SqliteAccess::kReadWrite) *session << "PRAGMA journal_mode=WAL";
      return session;
    }
    auto session =
        std::make_unique<soci::session>(*soci::factory_postgresql(), target.backend_connect_string);
    // Server notices (a cascading drop, an existing table) are not failures.
    PQsetNoticeProcessor(
        PostgresHandle(*session), [](void*, const char*) {}, nullptr);
    *session << "SET client_encoding TO 'UTF8'";
    through_pooler = ServerProcessDiffers(PostgresHandle(*session));
    return session;
  });
  dialect_ = target.dialect;
  through_pooler_ = through_pooler;
  keep_prepared_ = dialect_ == Dialect::kSqlite || (!through_pooler_ && prepared_when_direct);
  lost_ = false;
}

bool Connection::IsOpen() const { return open_; }

void Connection::Close() {
  prepared_.clear();
  session_.reset();
  open_ = false;
  lost_ = false;
  in_transaction_ = false;
  connection_string_.clear();
}

Dialect Connection::dialect() const {
  if (!open_) RaiseClosed();
  return dialect_;
}

bool Connection::ThroughPooler() const {
  if (!open_) RaiseClosed();
  return through_pooler_;
}

soci::session& Connection::session() {
  if (!open_ || !session_) RaiseClosed();
  return *session_;
}

bool Connection::Lost() {
  if (!open_) return false;
  if (lost_ || !session_) return true;
  if (dialect_ == Dialect::kPostgresql) {
    // Reads what the server may have sent meanwhile without waiting: a
    // server ending the session sends its reason, then closes, and the
    // second read meets the end of the stream.
    PGconn* handle = PostgresHandle(*session_);
    if (PQconsumeInput(handle) == 1) PQconsumeInput(handle);
    lost_ = PQstatus(handle) == CONNECTION_BAD;
  } else {
    int moved = 0;
    sqlite_api::sqlite3_file_control(SqliteHandle(*session_), "main", SQLITE_FCNTL_HAS_MOVED,
                                     &moved);
    lost_ = moved != 0;
  }
  return lost_;
}

soci::session& Connection::UsableSession() {
  if (!open_) RaiseClosed();
  if (!in_transaction_ && Lost()) {
    prepared_.clear();
    session_.reset();
    lost_ = true;
    // The file of a SQLite connection is opened again only where it is: a
    // new empty one would hide the database that went away.
    OpenSession(Create::kNever);
    CountReconnect();
  }
  return session();
}

Connection::Prepared& Connection::PreparedFor(const std::string& text, std::size_t params,
                                              bool query) {
  auto found = prepared_.find(text);
  if (found != prepared_.end()) return *found->second;
  if (prepared_.size() >= kMostPreparedStatements) prepared_.clear();
  auto prepared = std::make_unique<Prepared>(*session_, text, params, query,
                                             soci::details::st_repeatable_query);
  return *prepared_.emplace(text, std::move(prepared)).first->second;
}

template <typename Action>
auto Connection::RunStatement(std::string_view sql, const Params& params, bool query,
                              Action&& action)
    -> decltype(action(std::declval<Prepared&>(), std::declval<const std::string&>())) {
  RequireValidParams(params);
  const std::string text(sql);
  const bool cacheable = Cacheable(text);
  for (int attempt = 0;; ++attempt) {
    const bool in_transaction = in_transaction_;
    try {
      return Translated(dialect_, [&] {
        soci::session& db = UsableSession();
        ++sent_statements_;
        std::unique_ptr<Prepared> once;
        // Decided after UsableSession: a reopened session may have met a pooler.
        if (!cacheable || !keep_prepared_) {
          once = std::make_unique<Prepared>(db, text, params.size(), query,
                                            soci::details::st_one_time_query);
        }
        Prepared& prepared = once ? *once : PreparedFor(text, params.size(), query);
        prepared.Bind(params);
        return action(prepared, text);
      });
    } catch (const Error& failure) {
      if (dialect_ == Dialect::kSqlite) {
        // A failed statement may have stopped between rows; it is prepared afresh.
        prepared_.erase(text);
        if (SqliteFileGone(failure.number())) lost_ = true;
      } else if ((session_ && PQstatus(PostgresHandle(*session_)) == CONNECTION_BAD) ||
                 failure.number() == kReadOnlyTransaction) {
        // A server that refuses writes is no longer the primary: the next
        // statement outside a transaction looks for the one that is.
        lost_ = true;
      }
      if (lost_ && attempt == 0 && !in_transaction && Harmless(text)) continue;
      throw;
    }
  }
}

std::shared_ptr<RecordSet> Connection::Query(const Sql& sql, const Params& params) {
  return RunStatement(
      sql.For(dialect()), params, true, [&](Prepared& prepared, const std::string& text) {
        soci::statement& statement = prepared.statement;
        soci::row& row = prepared.row;
        bool has_row = statement.execute(true);
        std::vector<Column> columns;
        columns.reserve(row.size());
        for (std::size_t i = 0; i < row.size(); ++i) {
          const soci::column_properties& properties = row.get_properties(i);
          columns.push_back({prepared.NameOf(i, properties.get_name(), dialect_, text),
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
  return RunStatement(sql.For(dialect()), params, false,
                      [&](Prepared& prepared, const std::string&) {
                        prepared.statement.execute(true);
                        return prepared.statement.get_affected_rows();
                      });
}

void Connection::ExecuteEach(const Sql& sql, const std::vector<Params>& rows) {
  if (rows.empty()) return;
  for (const Params& row : rows) RequireValidParams(row);
  RunStatement(sql.For(dialect()), rows.front(), false,
               [&](Prepared& prepared, const std::string&) {
                 for (std::size_t i = 0; i < rows.size(); ++i) {
                   if (i > 0) {
                     ++sent_statements_;
                     prepared.Bind(rows[i]);
                   }
                   prepared.statement.execute(true);
                 }
                 return 0;
               });
}

void Connection::InsertRows(std::string_view table, const std::vector<std::string_view>& columns,
                            const std::vector<Params>& rows) {
  if (rows.empty()) return;
  if (dialect() == Dialect::kSqlite) {
    const std::string text = SqliteInsert(table, columns, "");
    ExecuteEach(Sql{text}, rows);
    return;
  }
  CopyRows(std::string(table), JoinedNames(columns), rows);
}

void Connection::InsertNewRows(std::string_view table, const std::vector<std::string_view>& columns,
                               const std::vector<std::string_view>& key,
                               const std::vector<Params>& rows) {
  if (rows.empty()) return;
  if (!InTransaction()) {
    Transaction own(*this);
    InsertNewRows(table, columns, key, rows);
    own.Commit();
    return;
  }
  if (dialect() == Dialect::kSqlite) {
    const std::string text = SqliteInsert(table, columns, " on conflict do nothing");
    ExecuteEach(Sql{text}, rows);
    return;
  }
  const std::string names = JoinedNames(columns);
  const std::string staging = "quillet_staging_" + std::to_string(++staging_tables_);
  ExecuteOnce("CREATE TEMPORARY TABLE " + staging + " (LIKE " + std::string(table) +
              " INCLUDING DEFAULTS) ON COMMIT DROP");
  CopyRows(staging, names, rows);
  ExecuteOnce("INSERT INTO " + std::string(table) + " (" + names + ") SELECT " + names + " FROM " +
              staging + " ORDER BY " + JoinedNames(key) + " ON CONFLICT DO NOTHING");
}

void Connection::ExecuteOnce(const std::string& text) {
  Translated(dialect_, [&] {
    PGconn* handle = PostgresHandle(UsableSession());
    ++sent_statements_;
    PGresult* result = PQexec(handle, text.c_str());
    if (PQstatus(handle) == CONNECTION_BAD) lost_ = true;
    CheckPostgresResult(handle, result, PGRES_COMMAND_OK);
  });
}

void Connection::CopyRows(const std::string& table, const std::string& names,
                          const std::vector<Params>& rows) {
  for (const Params& row : rows) RequireValidParams(row);
  Translated(dialect_, [&] {
    PGconn* handle = PostgresHandle(UsableSession());
    ++sent_statements_;
    const std::string copy = "COPY " + table + " (" + names + ") FROM STDIN";
    CheckPostgresResult(handle, PQexec(handle, copy.c_str()), PGRES_COPY_IN);
    constexpr std::size_t kChunk = 1 << 16;
    std::string buffer;
    bool sent = true;
    for (const Params& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) buffer += '\t';
        AppendCopyField(buffer, row[i]);
      }
      buffer += '\n';
      if (buffer.size() >= kChunk) {
        sent = PQputCopyData(handle, buffer.data(), static_cast<int>(buffer.size())) == 1;
        buffer.clear();
        if (!sent) break;
      }
    }
    if (sent && !buffer.empty()) {
      sent = PQputCopyData(handle, buffer.data(), static_cast<int>(buffer.size())) == 1;
    }
    PQputCopyEnd(handle, sent ? nullptr : "the rows could not be sent");
    PGresult* result = PQgetResult(handle);
    // Whatever else the server sends for the command is read to its end.
    for (PGresult* more; (more = PQgetResult(handle)) != nullptr;) PQclear(more);
    if (PQstatus(handle) == CONNECTION_BAD) lost_ = true;
    CheckPostgresResult(handle, result, PGRES_COMMAND_OK);
  });
}

void Connection::Begin() {
  soci::session& db = UsableSession();
  if (dialect_ == Dialect::kPostgresql &&
      (in_transaction_ || PQtransactionStatus(PostgresHandle(db)) != PQTRANS_IDLE)) {
    throw Error(SqlStateNumber("25001"),
                "there is already a transaction in progress (SQLSTATE 25001)");
  }
  Execute(Sql{"BEGIN IMMEDIATE", "BEGIN"});
  in_transaction_ = true;
}

void Connection::EndTransaction(const Sql& sql) {
  // Whatever the outcome, no transaction is open afterwards: a failed COMMIT
  // or ROLLBACK has lost its session, which the server rolls back.
  struct Ended {
    bool& flag;
    ~Ended() { flag = false; }
  } ended{in_transaction_};
  Execute(sql);
}

void Connection::Commit() { EndTransaction(Sql{"COMMIT"}); }

void Connection::Rollback() { EndTransaction(Sql{"ROLLBACK"}); }

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

void SetPreparedWhenDirect(bool keep) { prepared_when_direct = keep; }

}  // namespace quillet::store
