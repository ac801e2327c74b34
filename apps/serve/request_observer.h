// What the service does once a request is answered: its access-log line,
// in the configured format, and its counts in the metrics.
#ifndef QUILLET_SERVE_REQUEST_OBSERVER_H_
#define QUILLET_SERVE_REQUEST_OBSERVER_H_

#include <httplib.h>

#include "apps/serve/router.h"
#include "apps/serve/service_config.h"

namespace quillet::serve {

// Called on the thread that answered, after MarkRequestStart (access_log.h).
void ObserveAnswer(const ServiceConfig& config, const Router& router,
                   const httplib::Request& request, const httplib::Response& response);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_REQUEST_OBSERVER_H_
