// The service's resources, one file each, and the route table they make up.
//
//   /v1/call/{method}                          calls by name (call_resource.cc)
//   /v1/sources, /v1/classes, .../items,       setup look-ups (setup_resources.cc)
//   /v1/items/{item}
//   /v1/rules, /v1/rules/{owner}[/number]      rules, running numbers, the preview of
//   /v1/rules/{owner}/preview                  a rule being edited (rule_resources.cc)
//   /v1/rules/{owner}/history, .../gaps,       the trail: history, gaps, voids, rule
//   /v1/journal/voids, /v1/rules:import        files in and out (trail_resources.cc)
//   /v1/items/{item}/preview, .../serials      issuing (issue_resources.cc)
//   /v1/mappings/...                           short codes (mapping_resources.cc)
//   /v1/serials/{serial}[/barcode.svg]         read back, drawn (serial_resources.cc)
//   /healthz, /readyz, /v1/openapi.json        operations (operation_resources.cc)
#ifndef QUILLET_SERVE_RESOURCES_H_
#define QUILLET_SERVE_RESOURCES_H_

#include "apps/serve/router.h"

namespace quillet::serve {

void AddCallRoutes(Router& router);
void AddSetupRoutes(Router& router);
void AddRuleRoutes(Router& router);
void AddTrailRoutes(Router& router);
// GET /v1/rules?format=export: answers the rule file and returns true; false
// for another format.
bool AnswerRuleExport(Exchange& exchange);
void AddIssueRoutes(Router& router);
void AddMappingRoutes(Router& router);
void AddOperationRoutes(Router& router);
void AddSerialRoutes(Router& router);

// Every route of the service.
Router ServiceRouter();

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_RESOURCES_H_
