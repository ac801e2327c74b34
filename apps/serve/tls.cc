#include "apps/serve/tls.h"

#include "apps/cli/tool_error.h"
#include "apps/serve/listen_address.h"

namespace quillet::serve {

TlsContext::TlsContext(const std::string& cert_file, const std::string& key_file)
    : context_(SSL_CTX_new(TLS_server_method())) {
  const bool loaded =
      context_ != nullptr && SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION) == 1 &&
      SSL_CTX_use_certificate_chain_file(context_, cert_file.c_str()) == 1 &&
      SSL_CTX_use_PrivateKey_file(context_, key_file.c_str(), SSL_FILETYPE_PEM) == 1 &&
      SSL_CTX_check_private_key(context_) == 1;
  if (!loaded) {
    SSL_CTX_free(context_);
    throw cli::ToolFailure("cannot load the TLS certificate " + cert_file + " with the key " +
                           key_file +
                           ": both must be readable PEM files, the key the certificate's");
  }
  // A non-blocking socket under a session: a write may finish from another
  // place in the buffer than it started.
  SSL_CTX_set_mode(context_, SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
}

TlsContext::~TlsContext() { SSL_CTX_free(context_); }

std::unique_ptr<TlsContext> TlsOf(const ServiceConfig& config) {
  if (config.tls_cert.empty() != config.tls_key.empty()) {
    throw cli::ToolUsage("--tls-cert and --tls-key go together: give both, or neither");
  }
  if (config.tls_cert.empty()) return nullptr;
  return std::make_unique<TlsContext>(config.tls_cert, config.tls_key);
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
