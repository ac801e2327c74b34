#include "apps/serve/listen_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <charconv>

#include "apps/cli/tool_error.h"

namespace quillet::serve {
namespace {

[[noreturn]] void RaiseMalformed(std::string_view text, std::string_view why) {
  throw cli::ToolUsage("--listen '" + std::string(text) + "' " + std::string(why) +
                       ": write HOST:PORT, e.g. 127.0.0.1:8080 or [::1]:8080");
}

}  // namespace

ListenAddress ParseListenAddress(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) RaiseMalformed(text, "has no port");
  std::string_view host = text.substr(0, colon);
  const std::string_view port_text = text.substr(colon + 1);
  if (host.starts_with('[') && host.ends_with(']')) {
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string_view::npos) {
    RaiseMalformed(text, "needs brackets around an IPv6 address");
  }
  if (host.empty()) RaiseMalformed(text, "has no host");
  int port = -1;
  const auto [end, problem] =
      std::from_chars(port_text.data(), port_text.data() + port_text.size(), port);
  if (port_text.empty() || problem != std::errc() || end != port_text.data() + port_text.size() ||
      port < 0 || port > 65535) {
    RaiseMalformed(text, "has no port from 0 to 65535");
  }
  return {std::string(host), port};
}

bool IsLoopback(const std::string& host) {
  if (host == "localhost") return true;
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  in6_addr v6{};
  if (inet_pton(AF_INET6, host.c_str(), &v6) != 1) return false;
  if (IN6_IS_ADDR_LOOPBACK(&v6)) return true;
  return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
}

std::string FormatListenAddress(const std::string& host, int port) {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

}  // namespace quillet::serve
