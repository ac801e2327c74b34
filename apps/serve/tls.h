// The server a service answers on: plain HTTP, or HTTPS with a certificate
// and its key; and whether a configuration may hand out bearer tokens.
#ifndef QUILLET_SERVE_TLS_H_
#define QUILLET_SERVE_TLS_H_

#include <httplib.h>

#include <memory>

#include "apps/serve/service_config.h"

namespace quillet::serve {

// An HTTPS server when the configuration names a certificate, else a plain
// one. Raises ToolUsage for a certificate without a key or a key without a
// certificate, ToolFailure for files OpenSSL cannot load as a matching pair.
std::unique_ptr<httplib::Server> MakeServer(const ServiceConfig& config);

// Raises ToolUsage when the configuration would carry bearer tokens over
// plain HTTP beyond loopback, unless it says a proxy in front ends TLS.
void RequireTokensEncrypted(const ServiceConfig& config);

// "https" or "http", as the configuration serves. Pure.
const char* SchemeOf(const ServiceConfig& config);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_TLS_H_
