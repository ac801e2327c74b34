// Requests to a service the tests started, with cpp-httplib's client.
#ifndef QUILLET_TESTS_SERVE_HTTP_CLIENT_H_
#define QUILLET_TESTS_SERVE_HTTP_CLIENT_H_

#include <httplib.h>

#include <string>

namespace quillet::testing {

struct Answer {
  int status = 0;  // 0: no answer (the connection failed)
  std::string content_type;
  std::string body;
};

// One request on `client`'s connection; `token` non-empty is sent as the
// bearer token.
Answer Send(httplib::Client& client, const std::string& method, const std::string& path,
            const std::string& body = "", const std::string& token = "");

// The same on a connection of its own.
Answer Send(int port, const std::string& method, const std::string& path,
            const std::string& body = "", const std::string& token = "");

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_SERVE_HTTP_CLIENT_H_
