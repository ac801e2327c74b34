#include "apps/cli/connection_string.h"

#include <array>
#include <regex>
#include <vector>

#include "apps/cli/tool_error.h"
#include "core/nearest_word.h"

namespace quillet::cli {
namespace {

constexpr std::string_view kSqlite = "sqlite:";
constexpr std::string_view kPostgres = "postgresql:";

// The keywords a libpq key/value connection string starts with in practice.
constexpr std::array<std::string_view, 8> kLibpqKeywords = {
    "host", "hostaddr", "port", "dbname", "user", "password", "service", "sslmode"};

bool IsUri(std::string_view value) {
  return value.starts_with("postgresql://") || value.starts_with("postgres://");
}

bool IsLibpqKeyValue(std::string_view value) {
  const std::size_t equals = value.find('=');
  if (equals == std::string_view::npos) return false;
  for (std::string_view keyword : kLibpqKeywords) {
    if (value.substr(0, equals) == keyword) return true;
  }
  return false;
}

// The scheme before the first colon, when the text starts with one: two or
// more letters, digits, + . - and a letter first.
std::string SchemeOf(std::string_view value) {
  static const std::regex kScheme(R"(^([A-Za-z][A-Za-z0-9+.-]+):)");
  std::match_results<std::string_view::const_iterator> match;
  if (!std::regex_search(value.begin(), value.end(), match, kScheme)) return "";
  return match[1].str();
}

// The conninfo or URI without its password.
std::string WithoutPassword(std::string conninfo) {
  if (IsUri(conninfo)) {
    static const std::regex kUriPassword(R"(^(postgres(ql)?://[^:@/]*):[^@/]*@)");
    return std::regex_replace(conninfo, kUriPassword, "$1@");
  }
  static const std::regex kPassword(R"((^|\s)password\s*=\s*('([^'\\]|\\.)*'|\S*)\s*)");
  return std::regex_replace(conninfo, kPassword, "$1");
}

}  // namespace

std::string NormalizeConnectionString(std::string_view value) {
  if (value.starts_with(kSqlite)) {
    if (value.size() == kSqlite.size()) {
      throw ToolUsage("sqlite: needs the path of a file, e.g. sqlite:quillet.db");
    }
    return std::string(value);
  }
  if (value.starts_with(kPostgres) || IsUri(value)) return std::string(value);
  if (IsLibpqKeyValue(value)) return std::string(kPostgres) + std::string(value);
  if (value.empty()) throw ToolUsage("no database given: a file path, sqlite:PATH or CONNINFO");
  const std::string scheme = SchemeOf(value);
  if (scheme.empty()) return std::string(kSqlite) + std::string(value);
  const std::string written(value);
  throw ToolUsage("unknown kind of database '" + scheme + "' in " + written +
                  notation::DidYouMean(scheme, {"sqlite", "postgresql"}) +
                  " (give a file path, sqlite:PATH or postgresql:CONNINFO; ./" + written +
                  " is a file of that name)");
}

std::string DatabasePlace(std::string_view connection_string) {
  if (connection_string.starts_with(kSqlite)) {
    return "SQLite file " + std::string(connection_string.substr(kSqlite.size()));
  }
  std::string conninfo(connection_string);
  if (!IsUri(conninfo) && conninfo.starts_with(kPostgres)) conninfo.erase(0, kPostgres.size());
  conninfo = WithoutPassword(conninfo);
  return "PostgreSQL " + (conninfo.empty() ? std::string("(libpq defaults)") : conninfo);
}

}  // namespace quillet::cli
