// One `quillet serve` instance: an HTTP/1.1 server (or HTTPS) with a thread per
// connection (bounded in all and per client) whose requests are answered by
// worker threads each with their own component object, every failure as a
// problem object, one log line per request, and a stop that lets requests in
// flight finish.
#ifndef QUILLET_SERVE_SERVICE_H_
#define QUILLET_SERVE_SERVICE_H_

#include <httplib.h>

#include <memory>

#include "apps/serve/access_log.h"
#include "apps/serve/http_listener.h"
#include "apps/serve/router.h"
#include "apps/serve/service_config.h"
#include "apps/serve/worker_pool.h"

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
  // The connections' limits and the handlers.
  void Configure();
  // Every request to Dispatch; what the library refuses, a problem object.
  void AddHandlers();
  // Hands the request to a worker, which answers it with Answer.
  void Dispatch(const httplib::Request& request, httplib::Response& response);
  void Answer(const httplib::Request& request, httplib::Response& response);
  void AnswerWithoutRoute(const httplib::Request& request, httplib::Response& response,
                          const RouteMatch& match);

  ServiceConfig config_;
  Router router_;
  std::unique_ptr<WorkerPool> workers_;  // while Run runs
  HttpListener server_;                  // HTTP or HTTPS (tls.h)
};

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_SERVICE_H_
