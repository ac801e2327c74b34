#include "apps/serve/route_access.h"

#include "apps/serve/listen_address.h"
#include "apps/serve/roles.h"

namespace quillet::serve {

void RequireRouteRole(const httplib::Request& request, Access access, const ServiceConfig& config) {
  switch (access) {
    case Access::kProbe:
      return;
    case Access::kRead:
      RequireRole(request, Role::kReader, config.tokens, IsLoopback(config.host));
      return;
    case Access::kWrite:
      RequireRole(request, Role::kAdmin, config.tokens, false);
      return;
  }
}

}  // namespace quillet::serve
