#include "store/database_error.h"

#include <soci/postgresql/soci-postgresql.h>
#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>

#include <cctype>

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

Error SqliteError(const soci::soci_error& failure) {
  const std::string message = failure.get_error_message();
  int32_t number = kSqliteError;
  if (const auto* lite = dynamic_cast<const soci::sqlite3_soci_error*>(&failure)) {
    number = lite->result();
  } else if (message.starts_with(kConnectFailurePrefix)) {
    number = kSqliteCantOpen;
  }
  return Error(number, WithoutLibraryPrefixes(message));
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

Error DatabaseError(const soci::soci_error& failure, Dialect dialect) {
  return dialect == Dialect::kPostgresql ? PostgresError(failure) : SqliteError(failure);
}

}  // namespace quillet::store
