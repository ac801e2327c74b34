// HTTPS for the service: a certificate and its key loaded once, a TLS session
// per connection made from them; and whether a configuration may hand out
// bearer tokens.
#ifndef QUILLET_SERVE_TLS_H_
#define QUILLET_SERVE_TLS_H_

#include <openssl/ssl.h>

#include <memory>

#include "apps/serve/service_config.h"

namespace quillet::serve {

// A server certificate with its private key, ready to accept TLS
// connections. Immutable once loaded: shared by every connection's thread.
class TlsContext {
 public:
  // Raises ToolFailure for files OpenSSL cannot load as a matching pair.
  TlsContext(const std::string& cert_file, const std::string& key_file);
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;

  SSL_CTX* get() const { return context_; }

 private:
  SSL_CTX* context_;
};

// The TLS context the configuration asks for, or null for plain HTTP. Raises
// ToolUsage for a certificate without a key or a key without a certificate,
// ToolFailure as TlsContext does.
std::unique_ptr<TlsContext> TlsOf(const ServiceConfig& config);

// Raises ToolUsage when the configuration would carry bearer tokens over
// plain HTTP beyond loopback, unless it says a proxy in front ends TLS.
void RequireTokensEncrypted(const ServiceConfig& config);

// "https" or "http", as the configuration serves. Pure.
const char* SchemeOf(const ServiceConfig& config);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_TLS_H_
