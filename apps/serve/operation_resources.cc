// What operators and tools ask of the service itself: whether the process
// answers, whether the database can be used, its metrics, and the OpenAPI
// document.
#include <httplib.h>

#include <optional>
#include <string_view>

#include "apps/serve/embedded_files.h"
#include "apps/serve/json_body.h"
#include "apps/serve/metrics.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/worker.h"

namespace quillet::serve {
namespace {

void Health(Exchange& exchange) { WriteJson(exchange.response, {{"status", "ok"}}); }

// A fresh connection of its own, and a read of each table the service uses.
void Readiness(Exchange& exchange) {
  exchange.worker.CheckReady();
  WriteJson(exchange.response, {{"status", "ready"}});
}

void OpenApi(Exchange& exchange) {
  const std::optional<std::string_view> document = FindEmbeddedFile("serve/openapi.json");
  if (!document) throw Problem(500, "the OpenAPI document is not built into this binary");
  exchange.response.set_content(document->data(), document->size(), "application/json");
}

// The Prometheus text format, version 0.0.4.
void MetricsText(Exchange& exchange) {
  exchange.response.set_content(
      exchange.config.metrics->Exposition(Numbering::ProcessConnectionCounters()),
      "text/plain; version=0.0.4; charset=utf-8");
}

}  // namespace

void AddOperationRoutes(Router& router) {
  router.Add({"GET", "/healthz", Access::kProbe, Health});
  router.Add({"GET", "/readyz", Access::kProbe, Readiness});
  router.Add({"GET", "/v1/openapi.json", Access::kRead, OpenApi});
  router.Add({"GET", "/metrics", Access::kRead, MetricsText});
}

Router ServiceRouter() {
  Router router;
  AddCallRoutes(router);
  AddSetupRoutes(router);
  AddRuleRoutes(router);
  AddTrailRoutes(router);
  AddIssueRoutes(router);
  AddMappingRoutes(router);
  AddSerialRoutes(router);
  AddOperationRoutes(router);
  return router;
}

}  // namespace quillet::serve
