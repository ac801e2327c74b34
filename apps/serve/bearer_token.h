// Who may change data: requests that carry the service's bearer token.
#ifndef QUILLET_SERVE_BEARER_TOKEN_H_
#define QUILLET_SERVE_BEARER_TOKEN_H_

#include <optional>
#include <string>
#include <string_view>

namespace httplib {
struct Request;
}

namespace quillet::serve {

// The token of a token file: its first line without blanks at the ends.
// Raises ToolFailure for a file that cannot be read or holds no token.
std::string ReadTokenFile(const std::string& path);

// Whether `given` equals `expected`, in a time that depends on the length of
// `expected` only, never on where the two differ. Pure.
bool SameToken(std::string_view given, std::string_view expected);

// Lets the request pass when it carries "Authorization: Bearer <expected>",
// or when there is no token to expect (the service then listens on loopback
// only). Raises a 401 Problem when the request carries no bearer token, a 403
// Problem when it carries another one.
void RequireToken(const httplib::Request& request, const std::optional<std::string>& expected);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_BEARER_TOKEN_H_
