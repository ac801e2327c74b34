#include "apps/serve/roles.h"

#include <httplib.h>

#include <fstream>
#include <set>
#include <sstream>

#include "apps/cli/tool_error.h"
#include "apps/serve/bearer_token.h"
#include "apps/serve/problem.h"

namespace quillet::serve {
namespace {

constexpr std::string_view kScheme = "Bearer ";
constexpr std::string_view kBlanks = " \t\r\n";

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::optional<Role> RoleNamed(std::string_view name) {
  for (const Role role : {Role::kReader, Role::kIssuer, Role::kAdmin}) {
    if (RoleName(role) == name) return role;
  }
  return std::nullopt;
}

[[noreturn]] void RaiseLine(int number, const std::string& what) {
  throw cli::ToolFailure("line " + std::to_string(number) + " of the token file " + what);
}

}  // namespace

std::string_view RoleName(Role role) {
  switch (role) {
    case Role::kReader:
      return "reader";
    case Role::kIssuer:
      return "issuer";
    default:
      return "admin";
  }
}

std::vector<RoleToken> ParseTokenLines(std::string_view text) {
  std::vector<RoleToken> tokens;
  std::set<std::string> seen;
  std::istringstream lines{std::string(text)};
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    const std::string_view trimmed = Trimmed(line);
    if (trimmed.empty() || trimmed.starts_with('#')) continue;
    const std::vector<std::string> words = Words(trimmed);
    if (words.size() > 2) RaiseLine(number, "has more than a role and a token");
    RoleToken entry{Role::kAdmin, words.back()};
    if (words.size() == 2) {
      const std::optional<Role> role = RoleNamed(words.front());
      if (!role) RaiseLine(number, "names no role: reader, issuer or admin come first");
      entry.role = *role;
    }
    if (!seen.insert(entry.token).second) RaiseLine(number, "repeats a token of a line before");
    tokens.push_back(std::move(entry));
  }
  if (tokens.empty()) throw cli::ToolFailure("the token file holds no token");
  return tokens;
}

std::vector<RoleToken> ReadTokenFile(const std::string& path) {
  std::ifstream file(path);
  if (!file) throw cli::ToolFailure("cannot read the token file " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return ParseTokenLines(text.str());
}

std::optional<Role> RoleOfRequest(const httplib::Request& request,
                                  const std::vector<RoleToken>& tokens) {
  const std::string header = request.get_header_value("Authorization");
  if (!header.starts_with(kScheme)) return std::nullopt;
  const std::string_view given = Trimmed(std::string_view(header).substr(kScheme.size()));
  std::optional<Role> found;
  // No early end: the time taken tells nothing of which token came close.
  for (const RoleToken& entry : tokens) {
    if (SameToken(given, entry.token)) found = entry.role;
  }
  if (!found) throw Problem(403, "the bearer token is not the service's token", "Authorization");
  return found;
}

void RequireRole(const httplib::Request& request, Role needed, const std::vector<RoleToken>& tokens,
                 bool reads_open) {
  if (tokens.empty() || (needed == Role::kReader && reads_open)) return;
  const std::optional<Role> role = RoleOfRequest(request, tokens);
  if (!role) {
    throw Problem(401,
                  "this request needs the " + std::string(RoleName(needed)) +
                      " role: send the header 'Authorization: Bearer TOKEN'",
                  "Authorization", std::nullopt,
                  {{"WWW-Authenticate", "Bearer realm=\"quillet\""}});
  }
  if (*role < needed) {
    throw Problem(403,
                  "this request needs the " + std::string(RoleName(needed)) +
                      " role; the bearer token is " + (*role == Role::kReader ? "a " : "an ") +
                      std::string(RoleName(*role)) + "'s",
                  "Authorization");
  }
}

}  // namespace quillet::serve
