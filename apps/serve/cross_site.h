// What keeps a web page of another site from using the service through the
// operator's browser: request bodies only as application/json (a form or a
// plain-text post cannot be sent without asking first), the Host a name the
// service answers to (a name that resolves to loopback after the page loaded
// is not), and an Origin, when sent, of the service itself. Every answer
// carries headers that keep it out of frames and from being sniffed.
#ifndef QUILLET_SERVE_CROSS_SITE_H_
#define QUILLET_SERVE_CROSS_SITE_H_

#include <string>
#include <string_view>
#include <vector>

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace quillet::serve {

// The names a request's Host and Origin may carry: IP addresses and
// "localhost" always, besides the listen host and the names given.
struct SiteNames {
  std::string listen_host;
  std::vector<std::string> allowed;  // --allow-host, compared without case
};

// Raises a Problem: 415 naming "Content-Type" when a body is sent as
// anything but application/json; 403 naming "Host" when the Host is missing
// or a name the service does not answer to; 403 naming "Origin" when the
// Origin is neither this Host nor an allowed name. Pure.
void RequireSameSite(const httplib::Request& request, const SiteNames& names);

// Whether `content_type` is application/json, with parameters or not. Pure.
bool IsJsonMediaType(std::string_view content_type);

// The host of "HOST", "HOST:PORT" or "[IPV6]:PORT", lower case and without
// brackets; "" when there is none. Pure.
std::string HostOfAuthority(std::string_view authority);

// Whether `host` (as HostOfAuthority gives it) is one the service answers to. Pure.
bool IsServedName(const std::string& host, const SiteNames& names);

// Adds the headers every answer carries: a content security policy that
// loads only the service's own files and forbids framing, and nosniff.
void AddSecurityHeaders(httplib::Response& response);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_CROSS_SITE_H_
