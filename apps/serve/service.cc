#include "apps/serve/service.h"

#include <sys/socket.h>

#include <chrono>
#include <string>
#include <thread>

#include "apps/cli/tool_error.h"
#include "apps/serve/listen_address.h"
#include "apps/serve/metrics.h"
#include "apps/serve/problem.h"
#include "apps/serve/request_locale.h"
#include "apps/serve/request_observer.h"
#include "apps/serve/resources.h"
#include "apps/serve/route_access.h"
#include "apps/serve/static_content.h"
#include "apps/serve/thread_locale.h"
#include "apps/serve/tls.h"
#include "apps/serve/worker.h"
#include "apps/serve/worker_pool.h"

namespace quillet::serve {
namespace {

using httplib::Request;
using httplib::Response;
using HandlerResponse = httplib::Server::HandlerResponse;

// A connection holds its worker between requests: an idle one lets go soon.
constexpr std::time_t kKeepAliveSeconds = 2;
constexpr std::size_t kKeepAliveRequests = 100;

// Without SO_REUSEPORT (the library's default), a second instance on a port
// in use fails to bind instead of sharing the port unnoticed.
void ReuseAddressOnly(socket_t socket) {
  const int yes = 1;
  ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

std::string DetailOf(int status, const ServiceConfig& config) {
  switch (status) {
    case 400:
      return "the request is not readable HTTP";
    case 408:
      return "the request did not arrive in time";
    case 413:
      return "the request body is larger than the " + std::to_string(config.max_body) +
             " bytes the service takes";
    case 414:
      return "the request's path is too long";
    default:
      return "the request failed";
  }
}

}  // namespace

Service::Service(ServiceConfig config)
    : config_(std::move(config)),
      router_(ServiceRouter()),
      owned_server_(MakeServer(config_)),
      server_(*owned_server_) {
  if (!config_.log) config_.log = StandardErrorLog();
  if (!config_.metrics) config_.metrics = std::make_shared<Metrics>();
  RequireTokensEncrypted(config_);
  if (config_.tokens.empty() && !IsLoopback(config_.host)) {
    throw cli::ToolUsage(
        "without --token-file the service listens on loopback addresses only "
        "(127.0.0.1, ::1, localhost), not on " +
        config_.host + ": give a token file so that changes need its token");
  }
  if (config_.threads < 1) throw cli::ToolUsage("--threads must be 1 or more");
  if (config_.max_body == 0) throw cli::ToolUsage("--max-body must be 1 byte or more");
  InstallThreadLocaleLanguage(config_.locale);
  Configure();
}

Service::~Service() { Stop(); }

void Service::Configure() {
  server_.new_task_queue = [this] { return new WorkerPool(config_); };
  server_.set_socket_options(ReuseAddressOnly);
  // An answer goes out as headers, then body: without this the body of every
  // request after a connection's first waits for the client's delayed ACK.
  server_.set_tcp_nodelay(true);
  server_.set_payload_max_length(config_.max_body);
  server_.set_read_timeout(config_.read_timeout);
  server_.set_write_timeout(config_.write_timeout);
  server_.set_keep_alive_timeout(kKeepAliveSeconds);
  server_.set_keep_alive_max_count(kKeepAliveRequests);
  AddHandlers();
}

void Service::AddHandlers() {
  server_.set_pre_routing_handler([this](const Request& request, Response& response) {
    MarkRequestStart();
    // A request without Content-Length or Transfer-Encoding has no body; the
    // library would wait for one until the connection ends.
    if (!request.has_header("Content-Length") && !request.has_header("Transfer-Encoding")) {
      Dispatch(request, response);
      return HandlerResponse::Handled;
    }
    return HandlerResponse::Unhandled;
  });
  const auto dispatch = [this](const Request& request, Response& response) {
    Dispatch(request, response);
  };
  server_.Get(".*", dispatch);
  server_.Post(".*", dispatch);
  server_.Put(".*", dispatch);
  server_.Delete(".*", dispatch);
  server_.Patch(".*", dispatch);
  server_.Options(".*", dispatch);
  // What the library refuses itself (unreadable request, body too large)
  // becomes a problem object too.
  server_.set_error_handler(
      httplib::Server::HandlerWithResponse([this](const Request& request, Response& response) {
        if (!response.body.empty()) return HandlerResponse::Unhandled;
        WriteProblem(Problem(response.status, DetailOf(response.status, config_)), request.path,
                     response);
        CountAnswer(config_, router_, request, response);
        return HandlerResponse::Handled;
      }));
  server_.set_logger([this](const Request& request, const Response& response) {
    LogAnswer(config_, router_, request, response);
  });
}

int Service::Bind() {
  const int port = config_.port == 0 ? server_.bind_to_any_port(config_.host)
                   : server_.bind_to_port(config_.host, config_.port) ? config_.port
                                                                      : -1;
  if (port < 0) {
    throw cli::ToolFailure("cannot listen on " + FormatListenAddress(config_.host, config_.port) +
                           ": the port is in use, or the address is not one of this machine's");
  }
  return port;
}

void Service::Run() {
  running_ = true;
  if (!stopping_) server_.listen_after_bind();
  running_ = false;
}

void Service::Stop() {
  if (stopping_.exchange(true)) return;
  // Run may be on its way into listening: stop it once it listens.
  while (running_ && !server_.is_running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  server_.stop();
}

void Service::Dispatch(const Request& request, Response& response) {
  Worker* worker = Worker::Current();
  try {
    if (worker == nullptr) throw Problem(500, "the request reached no worker");
    RouteMatch match = router_.Find(request.method, request.path);
    if (!match.route) {
      AnswerWithoutRoute(request, response, match);
    } else {
      RequireReadableParameters(match);
      RequireRouteRole(request, match.route->access, config_);
      worker->UseLocale(RequestLocale(request, config_.locale));
      Exchange exchange{request, response, std::move(match.parameters), *worker, config_};
      match.route->handler(exchange);
    }
  } catch (...) {
    config_.metrics->CountFailure(std::current_exception());
    const Problem problem = ProblemOf(std::current_exception());
    // The database went away: the next request binds afresh.
    if (problem.status() == 503 && worker != nullptr) worker->Reset();
    response.headers.clear();
    WriteProblem(problem, request.path, response);
  }
  CountAnswer(config_, router_, request, response);
}

void Service::AnswerWithoutRoute(const Request& request, Response& response,
                                 const RouteMatch& match) {
  const bool reads = request.method == "GET" || request.method == "HEAD";
  if (reads && match.allowed.empty()) {
    if (const std::optional<StaticFile> file = PageFile(request.path)) {
      response.set_content(file->content.data(), file->content.size(), file->media_type);
      return;
    }
  }
  if (match.allowed.empty()) throw NotFound("there is no resource at " + request.path);
  std::string allowed;
  for (const std::string& method : match.allowed) allowed += (allowed.empty() ? "" : ", ") + method;
  throw Problem(
      405, request.method + " is not a method of " + request.path + " (it takes " + allowed + ")",
      "", std::nullopt, {{"Allow", allowed}});
}

}  // namespace quillet::serve
