// Who may do what: the tokens of a token file, each with a role, and the
// role each request needs.
#ifndef QUILLET_SERVE_ROLES_H_
#define QUILLET_SERVE_ROLES_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace httplib {
struct Request;
}

namespace quillet::serve {

// Each role may do what the roles before it may: a reader reads, an issuer
// also issues with saving, an admin also changes rules, running numbers and
// mappings and makes calls by name.
enum class Role { kReader = 1, kIssuer = 2, kAdmin = 3 };

// "reader", "issuer", "admin". Pure.
std::string_view RoleName(Role role);

struct RoleToken {
  Role role = Role::kAdmin;
  std::string token;
};

// The tokens of a token file's text: one per line, "ROLE TOKEN" (ROLE one of
// the names above), or a line holding the token alone, which is an admin's.
// Blank lines and lines starting with '#' are skipped. Raises ToolFailure
// naming the line (never the token) for an unknown role, more than two
// words, a token given twice, and a text holding no token. Pure.
std::vector<RoleToken> ParseTokenLines(std::string_view text);

// ParseTokenLines of a file; raises ToolFailure also when it cannot be read.
std::vector<RoleToken> ReadTokenFile(const std::string& path);

// The role of the request's bearer token: none without an Authorization
// header of the Bearer scheme. Every token is compared, in constant time,
// whatever the request sends. Raises a 403 Problem for a token that is none
// of `tokens`.
std::optional<Role> RoleOfRequest(const httplib::Request& request,
                                  const std::vector<RoleToken>& tokens);

// Lets the request pass when its token's role is `needed` or above, and
// always when there are no tokens (the service then listens on loopback
// only), or when `needed` is kReader and reads are open. Raises a 401
// Problem for a request without a token, a 403 Problem for a token that is
// unknown or of a lower role.
void RequireRole(const httplib::Request& request, Role needed, const std::vector<RoleToken>& tokens,
                 bool reads_open);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_ROLES_H_
