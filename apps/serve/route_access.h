// The role a route asks of a request.
#ifndef QUILLET_SERVE_ROUTE_ACCESS_H_
#define QUILLET_SERVE_ROUTE_ACCESS_H_

#include "apps/serve/router.h"
#include "apps/serve/service_config.h"

namespace quillet::serve {

// Raises as RequireRole when the request may not reach a route of `access`:
// probes are open to all, reads need a reader beyond loopback, changes an
// admin.
void RequireRouteRole(const httplib::Request& request, Access access, const ServiceConfig& config);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_ROUTE_ACCESS_H_
