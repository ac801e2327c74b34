#include "apps/serve/request_observer.h"

#include "apps/serve/access_log.h"
#include "apps/serve/metrics.h"

namespace quillet::serve {

void ObserveAnswer(const ServiceConfig& config, const Router& router,
                   const httplib::Request& request, const httplib::Response& response) {
  const double milliseconds = TakeRequestMilliseconds();
  // The template, not the path: one series per route, whatever the owners and items.
  const RouteMatch match = router.Find(request.method, request.path);
  const std::string route = match.route ? match.route->path : "";
  if (config.log_format == ServiceConfig::LogFormat::kJson) {
    config.log(JsonAccessLine(request.method, request.path, route, response.status, milliseconds));
  } else {
    config.log(AccessLine(request.method, request.path, response.status, milliseconds));
  }
  if (config.metrics) {
    config.metrics->CountRequest(request.method, route, response.status, milliseconds / 1000);
  }
}

}  // namespace quillet::serve
