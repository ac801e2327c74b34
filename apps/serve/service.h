// One `quillet serve` instance: an HTTP/1.1 server whose worker threads each
// answer with their own component object, every failure as a problem object,
// one log line per request, and a stop that lets requests in flight finish.
#ifndef QUILLET_SERVE_SERVICE_H_
#define QUILLET_SERVE_SERVICE_H_

#include <httplib.h>

#include <atomic>
#include <memory>

#include "apps/serve/access_log.h"
#include "apps/serve/router.h"
#include "apps/serve/service_config.h"

namespace quillet::serve {

class Service {
 public:
  // Raises ToolUsage when the configuration cannot be served: no token and a
  // host that is not loopback, tokens over plain HTTP beyond loopback (see
  // RequireTokensEncrypted), no worker threads, no body size; ToolFailure
  // for a TLS certificate and key that cannot be loaded.
  explicit Service(ServiceConfig config);
  ~Service();
  Service(const Service&) = delete;
  Service& operator=(const Service&) = delete;

  // Opens the listening socket and returns its port (the chosen one when the
  // configuration asks for port 0). Raises ToolFailure when it cannot.
  int Bind();

  // Serves on the bound socket until Stop. Returns once the requests in
  // flight have been answered; connections not yet read are closed.
  void Run();

  // Stops accepting connections. Thread-safe; at most once effective; a Stop
  // before Run makes Run return at once.
  void Stop();

  const Router& router() const { return router_; }
  const ServiceConfig& config() const { return config_; }

 private:
  // The worker pool and the connections' options and limits.
  void Configure();
  // Every request to Dispatch; what the library refuses, a problem object.
  void AddHandlers();
  void Dispatch(const httplib::Request& request, httplib::Response& response);
  void AnswerWithoutRoute(const httplib::Request& request, httplib::Response& response,
                          const RouteMatch& match);

  ServiceConfig config_;
  Router router_;
  std::unique_ptr<httplib::Server> owned_server_;  // HTTP or HTTPS (tls.h)
  httplib::Server& server_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> running_{false};  // between the start and the end of Run
};

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_SERVICE_H_
