// What a `quillet serve` instance is started with.
#ifndef QUILLET_SERVE_SERVICE_CONFIG_H_
#define QUILLET_SERVE_SERVICE_CONFIG_H_

#include <cstddef>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "apps/serve/roles.h"

namespace quillet::serve {

class Metrics;

struct ServiceConfig {
  std::string db;                       // the connection string every worker binds to
  std::string locale;                   // for requests that name none
  std::set<std::string> allowed_tasks;  // what the login object's TaskExec allows
  std::string host = "127.0.0.1";
  int port = 8080;  // 0: any free port
  int threads = 8;  // workers, each with its own component object
  // The bearer tokens and their roles (roles.h); without any the service
  // listens on loopback addresses only and asks for no token. Beyond
  // loopback, reads need a reader's token too.
  std::vector<RoleToken> tokens;
  // HTTPS with this certificate and key (PEM files); both empty: plain HTTP.
  std::string tls_cert;
  std::string tls_key;
  // A proxy in front ends TLS: tokens may arrive over plain HTTP beyond loopback.
  bool behind_tls_proxy = false;
  // Host names besides addresses, "localhost" and `host` that requests may
  // name in Host and Origin (the names of a proxy in front, say).
  std::vector<std::string> allowed_hosts;
  std::size_t max_body = 1024 * 1024;       // bytes
  std::time_t read_timeout = 10;            // seconds to read a request, whole
  std::time_t write_timeout = 10;           // seconds
  std::size_t max_connections = 256;        // open at once, in all
  std::size_t max_client_connections = 64;  // open at once, from one client address
  // The access log's lines: text, or one JSON object per request.
  enum class LogFormat { kText, kJson };
  LogFormat log_format = LogFormat::kText;
  // What GET /metrics reports; made by the service when null.
  std::shared_ptr<Metrics> metrics;
  // Receives one access-log line per request, and the service's notices;
  // called from any worker thread. Null: standard error.
  std::function<void(std::string_view)> log;
};

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_SERVICE_CONFIG_H_
