#include "apps/serve/cross_site.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>

#include <algorithm>
#include <cctype>

#include "apps/serve/problem.h"

namespace quillet::serve {
namespace {

// Only the service's own files; no framing, plugins or foreign form targets.
constexpr const char* kContentSecurityPolicy =
    "default-src 'self'; img-src 'self' data:; object-src 'none'; base-uri 'none'; "
    "form-action 'self'; frame-ancestors 'none'";

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool IsAddress(const std::string& host) {
  in_addr v4{};
  in6_addr v6{};
  return inet_pton(AF_INET, host.c_str(), &v4) == 1 || inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

bool IsAllowedName(const std::string& host, const SiteNames& names) {
  return std::any_of(names.allowed.begin(), names.allowed.end(),
                     [&](const std::string& name) { return Lower(name) == host; });
}

// "scheme://authority" -> authority; "" for "null" or anything else.
std::string_view AuthorityOfOrigin(std::string_view origin) {
  const std::size_t scheme_end = origin.find("://");
  if (scheme_end == std::string_view::npos) return {};
  return origin.substr(scheme_end + 3);
}

}  // namespace

bool IsJsonMediaType(std::string_view content_type) {
  const std::string type = Lower(content_type.substr(0, content_type.find(';')));
  const std::size_t end = type.find_last_not_of(" \t");
  const std::size_t start = type.find_first_not_of(" \t");
  return start != std::string::npos && type.substr(start, end - start + 1) == "application/json";
}

std::string HostOfAuthority(std::string_view authority) {
  if (authority.starts_with('[')) {
    const std::size_t close = authority.find(']');
    return close == std::string_view::npos ? "" : Lower(authority.substr(1, close - 1));
  }
  return Lower(authority.substr(0, authority.find(':')));
}

bool IsServedName(const std::string& host, const SiteNames& names) {
  if (host.empty()) return false;
  // An address cannot be rebound to another machine as a name can.
  return host == "localhost" || IsAddress(host) || host == Lower(names.listen_host) ||
         IsAllowedName(host, names);
}

void RequireSameSite(const httplib::Request& request, const SiteNames& names) {
  if (!request.body.empty() && !IsJsonMediaType(request.get_header_value("Content-Type"))) {
    throw Problem(415, "the request body must be sent as Content-Type: application/json",
                  "Content-Type");
  }
  const std::string host = request.get_header_value("Host");
  if (!IsServedName(HostOfAuthority(host), names)) {
    throw Problem(403, "the service does not answer to the host name '" + host + "'", "Host");
  }
  if (!request.has_header("Origin")) return;
  const std::string origin = request.get_header_value("Origin");
  const std::string_view authority = AuthorityOfOrigin(origin);
  const bool same = !authority.empty() && Lower(authority) == Lower(host);
  if (!same && !IsAllowedName(HostOfAuthority(authority), names)) {
    throw Problem(403, "requests from the page of " + origin + " are not taken", "Origin");
  }
}

void AddSecurityHeaders(httplib::Response& response) {
  response.set_header("Content-Security-Policy", kContentSecurityPolicy);
  response.set_header("X-Content-Type-Options", "nosniff");
  response.set_header("X-Frame-Options", "DENY");
  response.set_header("Referrer-Policy", "no-referrer");
}

}  // namespace quillet::serve
