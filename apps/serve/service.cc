#include "apps/serve/service.h"

#include <string>

#include "apps/cli/tool_error.h"
#include "apps/serve/cross_site.h"
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

ConnectionLimits LimitsOf(const ServiceConfig& config) {
  ConnectionLimits limits;
  limits.read_timeout = config.read_timeout;
  limits.write_timeout = config.write_timeout;
  limits.connections = config.max_connections;
  limits.connections_per_client = config.max_client_connections;
  return limits;
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
      server_(LimitsOf(config_), TlsOf(config_)) {
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
  if (config_.max_connections == 0 || config_.max_client_connections == 0) {
    throw cli::ToolUsage("--max-connections and --max-client-connections must be 1 or more");
  }
  InstallThreadLocaleLanguage(config_.locale);
  Configure();
}

Service::~Service() { Stop(); }

void Service::Configure() {
  server_.set_payload_max_length(config_.max_body);
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
  server_.set_post_routing_handler(
      [](const Request&, Response& response) { AddSecurityHeaders(response); });
  server_.set_logger([this](const Request& request, const Response& response) {
    LogAnswer(config_, router_, request, response);
  });
}

int Service::Bind() {
  const int port = server_.Open(config_.host, config_.port);
  if (port < 0) {
    throw cli::ToolFailure("cannot listen on " + FormatListenAddress(config_.host, config_.port) +
                           ": the port is in use, or the address is not one of this machine's");
  }
  return port;
}

void Service::Run() {
  // Threads start here, after the caller has set its signal mask up.
  workers_ = std::make_unique<WorkerPool>(config_);
  server_.Serve();
  workers_.reset();
}

void Service::Stop() { server_.Stop(); }

void Service::Dispatch(const Request& request, Response& response) {
  workers_->Run([&] { Answer(request, response); });
}

void Service::Answer(const Request& request, Response& response) {
  Worker* worker = Worker::Current();
  try {
    if (worker == nullptr) throw Problem(500, "the request reached no worker");
    RequireSameSite(request, {config_.host, config_.allowed_hosts});
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
