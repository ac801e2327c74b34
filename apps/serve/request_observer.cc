#include "apps/serve/request_observer.h"

#include "apps/serve/access_log.h"
#include "apps/serve/metrics.h"

namespace quillet::serve {
namespace {

// The template, not the path: one series per route, whatever the owners and items.
std::string RouteOf(const Router& router, const httplib::Request& request) {
  const RouteMatch match = router.Find(request.method, request.path);
  return match.route ? match.route->path : "";
}

}  // namespace

void CountAnswer(const ServiceConfig& config, const Router& router, const httplib::Request& request,
                 const httplib::Response& response) {
  if (!config.metrics) return;
  // A handler that set no status answers 200.
  const int status = response.status == -1 ? 200 : response.status;
  config.metrics->CountRequest(request.method, RouteOf(router, request), status,
                               RequestMilliseconds() / 1000);
}

void LogAnswer(const ServiceConfig& config, const Router& router, const httplib::Request& request,
               const httplib::Response& response) {
  const double milliseconds = TakeRequestMilliseconds();
  if (config.log_format == ServiceConfig::LogFormat::kJson) {
    config.log(JsonAccessLine(request.method, request.path, RouteOf(router, request),
                              response.status, milliseconds));
  } else {
    config.log(AccessLine(request.method, request.path, response.status, milliseconds));
  }
}

}  // namespace quillet::serve
