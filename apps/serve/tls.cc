#include "apps/serve/tls.h"

#include "apps/cli/tool_error.h"
#include "apps/serve/listen_address.h"

namespace quillet::serve {

std::unique_ptr<httplib::Server> MakeServer(const ServiceConfig& config) {
  if (config.tls_cert.empty() != config.tls_key.empty()) {
    throw cli::ToolUsage("--tls-cert and --tls-key go together: give both, or neither");
  }
  if (config.tls_cert.empty()) return std::make_unique<httplib::Server>();
  auto server =
      std::make_unique<httplib::SSLServer>(config.tls_cert.c_str(), config.tls_key.c_str());
  if (!server->is_valid()) {
    throw cli::ToolFailure("cannot load the TLS certificate " + config.tls_cert + " with the key " +
                           config.tls_key +
                           ": both must be readable PEM files, the key the certificate's");
  }
  return server;
}

void RequireTokensEncrypted(const ServiceConfig& config) {
  if (config.tokens.empty() || IsLoopback(config.host) || !config.tls_cert.empty() ||
      config.behind_tls_proxy) {
    return;
  }
  throw cli::ToolUsage(
      "bearer tokens would cross the network in plain HTTP on " + config.host +
      ": give --tls-cert and --tls-key, or --behind-tls-proxy when a proxy in front ends TLS");
}

const char* SchemeOf(const ServiceConfig& config) {
  return config.tls_cert.empty() ? "http" : "https";
}

}  // namespace quillet::serve
