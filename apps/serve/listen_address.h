// The address `quillet serve --listen` takes, and whether it is loopback.
#ifndef QUILLET_SERVE_LISTEN_ADDRESS_H_
#define QUILLET_SERVE_LISTEN_ADDRESS_H_

#include <string>
#include <string_view>

namespace quillet::serve {

struct ListenAddress {
  std::string host;  // as the socket layer takes it: IPv6 without brackets
  int port = 0;
};

// "HOST:PORT" (HOST a name or an IPv4 address) or "[IPV6]:PORT", PORT from 0
// (any free port) to 65535. Raises ToolUsage telling the expected form. Pure.
ListenAddress ParseListenAddress(std::string_view text);

// Whether `host` can only be reached from this machine: "localhost", an
// IPv4 address in 127.0.0.0/8, "::1" or an IPv4-mapped loopback address.
bool IsLoopback(const std::string& host);

// "host:port", with brackets around an IPv6 host. Pure.
std::string FormatListenAddress(const std::string& host, int port);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_LISTEN_ADDRESS_H_
