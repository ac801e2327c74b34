// What the service does with an answer: counts it in the metrics before it
// goes out (a scrape right after an answer sees it), and writes its
// access-log line, in the configured format, once it is out.
#ifndef QUILLET_SERVE_REQUEST_OBSERVER_H_
#define QUILLET_SERVE_REQUEST_OBSERVER_H_

#include <httplib.h>

#include "apps/serve/router.h"
#include "apps/serve/service_config.h"

namespace quillet::serve {

// Called on the thread that answers, after MarkRequestStart (access_log.h),
// once per request, before the answer is written.
void CountAnswer(const ServiceConfig& config, const Router& router, const httplib::Request& request,
                 const httplib::Response& response);

// Called on the same thread once the answer is written.
void LogAnswer(const ServiceConfig& config, const Router& router, const httplib::Request& request,
               const httplib::Response& response);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_REQUEST_OBSERVER_H_
