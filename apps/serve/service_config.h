// What a `quillet serve` instance is started with.
#ifndef QUILLET_SERVE_SERVICE_CONFIG_H_
#define QUILLET_SERVE_SERVICE_CONFIG_H_

#include <cstddef>
#include <ctime>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::serve {

struct ServiceConfig {
  std::string db;                       // the connection string every worker binds to
  std::string locale;                   // for requests that name none
  std::set<std::string> allowed_tasks;  // what the login object's TaskExec allows
  std::string host = "127.0.0.1";
  int port = 8080;  // 0: any free port
  int threads = 8;  // workers, each with its own component object
  // The bearer token that requests changing data must carry; without one the
  // service listens on loopback addresses only and asks for no token.
  std::optional<std::string> token;
  // Host names besides addresses, "localhost" and `host` that requests may
  // name in Host and Origin (the names of a proxy in front, say).
  std::vector<std::string> allowed_hosts;
  std::size_t max_body = 1024 * 1024;       // bytes
  std::time_t read_timeout = 10;            // seconds to read a request, whole
  std::time_t write_timeout = 10;           // seconds
  std::size_t max_connections = 256;        // open at once, in all
  std::size_t max_client_connections = 64;  // open at once, from one client address
  // Receives one access-log line per request, and the service's notices;
  // called from any worker thread. Null: standard error.
  std::function<void(std::string_view)> log;
};

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_SERVICE_CONFIG_H_
