#include "apps/serve/bearer_token.h"

#include <httplib.h>

#include <fstream>

#include "apps/cli/tool_error.h"
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

}  // namespace

std::string ReadTokenFile(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  if (!file || !std::getline(file, line)) {
    throw cli::ToolFailure("cannot read the token file " + path);
  }
  const std::string token(Trimmed(line));
  if (token.empty())
    throw cli::ToolFailure("the token file " + path + " holds no token on its first line");
  return token;
}

bool SameToken(std::string_view given, std::string_view expected) {
  unsigned difference = given.size() == expected.size() ? 0u : 1u;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const char other = i < given.size() ? given[i] : '\0';
    difference |= static_cast<unsigned char>(other ^ expected[i]);
  }
  return difference == 0;
}

void RequireToken(const httplib::Request& request, const std::optional<std::string>& expected) {
  if (!expected) return;
  const std::string header = request.get_header_value("Authorization");
  if (!header.starts_with(kScheme)) {
    throw Problem(401, "this request changes data: send the header 'Authorization: Bearer TOKEN'",
                  "Authorization", std::nullopt,
                  {{"WWW-Authenticate", "Bearer realm=\"quillet\""}});
  }
  if (!SameToken(Trimmed(std::string_view(header).substr(kScheme.size())), *expected)) {
    throw Problem(403, "the bearer token is not the service's token", "Authorization");
  }
}

}  // namespace quillet::serve
