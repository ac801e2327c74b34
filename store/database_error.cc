#include "store/database_error.h"

#include <soci/postgresql/soci-postgresql.h>
#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>

#include <cctype>
#include <map>

#include "quillet/failure.h"

namespace quillet::store {
namespace {

constexpr std::string_view kConnectFailurePrefix = "Cannot establish connection to the database.";
constexpr std::string_view kPostgresConnectionFailure = "08006";
constexpr std::string_view kPostgresInternalError = "XX000";

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

// Drops the access library's own wording ("Cannot establish connection to the
// database.", "sqlite3_statement_backend::prepare: ") so that what remains is
// the database's message.
std::string WithoutLibraryPrefixes(std::string_view message) {
  if (message.starts_with(kConnectFailurePrefix))
    message.remove_prefix(kConnectFailurePrefix.size());
  const auto scope = message.find("::");
  const auto colon = message.find(": ");
  if (scope != std::string_view::npos && colon != std::string_view::npos && scope < colon &&
      message.substr(0, colon).find(' ') == std::string_view::npos) {
    message.remove_prefix(colon + 2);
  }
  return Trim(message);
}

// The server's primary message: the line after "ERROR:  " (or FATAL/PANIC),
// without the LINE/DETAIL/HINT lines that follow it.
std::string PostgresPrimaryMessage(std::string_view message) {
  for (std::string_view severity : {"ERROR:  ", "FATAL:  ", "PANIC:  "}) {
    const auto at = message.find(severity);
    if (at == std::string_view::npos) continue;
    std::string_view rest = message.substr(at + severity.size());
    return Trim(rest.substr(0, rest.find('\n')));
  }
  std::string text = WithoutLibraryPrefixes(message);
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  return text;
}

bool IsSqlState(std::string_view state) {
  if (state.size() != 5) return false;
  for (char c : state) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool MentionsConnection(std::string_view message) {
  return message.starts_with(kConnectFailurePrefix) ||
         message.find("connection") != std::string_view::npos;
}

Error PostgresError(const soci::soci_error& failure) {
  const std::string message = failure.get_error_message();
  std::string state;
  if (const auto* pg = dynamic_cast<const soci::postgresql_soci_error*>(&failure)) {
    state = pg->sqlstate();
  }
  if (!IsSqlState(state)) {
    state = MentionsConnection(message) ? kPostgresConnectionFailure : kPostgresInternalError;
  }
  for (char& c : state) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return Error(SqlStateNumber(state),
               PostgresPrimaryMessage(message) + " (SQLSTATE " + state + ")");
}

// SQLite's name of a result code: the extended code's own name where SQLite
// has one that callers meet (constraints, locks), else its primary code's.
std::string SqliteCodeName(int32_t code) {
  static const std::map<int32_t, std::string_view> kNames = {
      {0, "SQLITE_OK"},
      {1, "SQLITE_ERROR"},
      {2, "SQLITE_INTERNAL"},
      {3, "SQLITE_PERM"},
      {4, "SQLITE_ABORT"},
      {5, "SQLITE_BUSY"},
      {6, "SQLITE_LOCKED"},
      {7, "SQLITE_NOMEM"},
      {8, "SQLITE_READONLY"},
      {9, "SQLITE_INTERRUPT"},
      {10, "SQLITE_IOERR"},
      {11, "SQLITE_CORRUPT"},
      {12, "SQLITE_NOTFOUND"},
      {13, "SQLITE_FULL"},
      {14, "SQLITE_CANTOPEN"},
      {15, "SQLITE_PROTOCOL"},
      {16, "SQLITE_EMPTY"},
      {17, "SQLITE_SCHEMA"},
      {18, "SQLITE_TOOBIG"},
      {19, "SQLITE_CONSTRAINT"},
      {20, "SQLITE_MISMATCH"},
      {21, "SQLITE_MISUSE"},
      {22, "SQLITE_NOLFS"},
      {23, "SQLITE_AUTH"},
      {24, "SQLITE_FORMAT"},
      {25, "SQLITE_RANGE"},
      {26, "SQLITE_NOTADB"},
      {27, "SQLITE_NOTICE"},
      {28, "SQLITE_WARNING"},
      {261, "SQLITE_BUSY_RECOVERY"},
      {262, "SQLITE_LOCKED_SHAREDCACHE"},
      {275, "SQLITE_CONSTRAINT_CHECK"},
      {517, "SQLITE_BUSY_SNAPSHOT"},
      {773, "SQLITE_BUSY_TIMEOUT"},
      {787, "SQLITE_CONSTRAINT_FOREIGNKEY"},
      {1299, "SQLITE_CONSTRAINT_NOTNULL"},
      {1555, "SQLITE_CONSTRAINT_PRIMARYKEY"},
      {1811, "SQLITE_CONSTRAINT_TRIGGER"},
      {2067, "SQLITE_CONSTRAINT_UNIQUE"},
      {3091, "SQLITE_CONSTRAINT_DATATYPE"},
  };
  if (auto named = kNames.find(code); named != kNames.end()) return std::string(named->second);
  if (auto primary = kNames.find(code & 0xff); primary != kNames.end()) {
    return std::string(primary->second);
  }
  return "SQLITE_ERROR";
}

Error SqliteError(const soci::soci_error& failure) {
  const std::string message = failure.get_error_message();
  int32_t number = kSqliteError;
  if (const auto* lite = dynamic_cast<const soci::sqlite3_soci_error*>(&failure)) {
    number = lite->result();
  } else if (message.starts_with(kConnectFailurePrefix)) {
    number = kSqliteCantOpen;
  }
  return Error(number, WithoutLibraryPrefixes(message) + " (" + SqliteCodeName(number) + ")");
}

}  // namespace

int32_t SqlStateNumber(std::string_view sqlstate) {
  if (sqlstate.empty() || sqlstate.size() > 5) return -1;
  int32_t number = 0;
  for (char c : sqlstate) {
    const int upper = std::toupper(static_cast<unsigned char>(c));
    int digit;
    if (upper >= '0' && upper <= '9') {
      digit = upper - '0';
    } else if (upper >= 'A' && upper <= 'Z') {
      digit = upper - 'A' + 10;
    } else {
      return -1;
    }
    number = number * 36 + digit;
  }
  return number;
}

std::string SqlStateText(int32_t number) {
  static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string text(5, '0');
  for (auto i = text.size(); i-- > 0 && number > 0;) {
    text[i] = kDigits[number % 36];
    number /= 36;
  }
  return text;
}

bool IsUniqueViolation(const Error& error) {
  constexpr int32_t kSqliteUnique = 2067;
  constexpr int32_t kSqlitePrimaryKey = 1555;
  const int32_t number = error.number();
  return number == kSqliteUnique || number == kSqlitePrimaryKey ||
         number == SqlStateNumber("23505");
}

bool IsMissingTable(const Error& error) {
  const std::string description = error.description();
  return (error.number() == kSqliteError && description.starts_with("no such table")) ||
         error.number() == SqlStateNumber("42P01");
}

std::string DatabaseFailure::SqlState() const {
  return dialect_ == Dialect::kPostgresql ? SqlStateText(number()) : std::string();
}

DatabaseFailure DatabaseError(const soci::soci_error& failure, Dialect dialect) {
  return {dialect == Dialect::kPostgresql ? PostgresError(failure) : SqliteError(failure), dialect};
}

bool IsUnavailable(const Error& error) { return IsUnavailableNumber(error.number()); }

}  // namespace quillet::store

namespace quillet {

bool IsUnavailableNumber(int32_t number) {
  // SQLite's result codes are below this; SQLSTATEs read as numbers above it.
  constexpr int32_t kSqliteCodeLimit = 0x10000;
  using store::SqlStateNumber;
  if (number == errc::kConnectionClosed || number == errc::kBadConnectionString) return true;
  if (number >= 0 && number < kSqliteCodeLimit) return (number & 0xFF) == store::kSqliteCantOpen;
  const bool connection_class =
      number >= SqlStateNumber("08000") && number <= SqlStateNumber("08ZZZ");
  const bool operator_intervention =
      number >= SqlStateNumber("57P01") && number <= SqlStateNumber("57P03");
  return connection_class || operator_intervention;
}

}  // namespace quillet
