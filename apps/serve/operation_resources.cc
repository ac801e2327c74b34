// What operators and tools ask of the service itself: whether the process
// answers, whether the database can be used, and the OpenAPI document.
#include <httplib.h>

#include <optional>
#include <string_view>

#include "apps/serve/embedded_files.h"
#include "apps/serve/json_body.h"
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

}  // namespace

void AddOperationRoutes(Router& router) {
  router.Add({"GET", "/healthz", Access::kRead, Health});
  router.Add({"GET", "/readyz", Access::kRead, Readiness});
  router.Add({"GET", "/v1/openapi.json", Access::kRead, OpenApi});
}

Router ServiceRouter() {
  Router router;
  AddCallRoutes(router);
  AddSetupRoutes(router);
  AddRuleRoutes(router);
  AddIssueRoutes(router);
  AddMappingRoutes(router);
  AddSerialRoutes(router);
  AddOperationRoutes(router);
  return router;
}

}  // namespace quillet::serve
