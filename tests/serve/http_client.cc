#include "tests/serve/http_client.h"

namespace quillet::testing {

Answer Send(httplib::Client& client, const std::string& method, const std::string& path,
            const std::string& body, const std::string& token) {
  client.set_read_timeout(60, 0);
  httplib::Request request;
  request.method = method;
  request.path = path;
  request.body = body;
  if (!body.empty()) request.set_header("Content-Type", "application/json");
  if (!token.empty()) request.set_header("Authorization", "Bearer " + token);
  const httplib::Result result = client.send(request);
  if (!result) return {};
  return {result->status, result->get_header_value("Content-Type"), result->body};
}

Answer Send(int port, const std::string& method, const std::string& path, const std::string& body,
            const std::string& token) {
  httplib::Client client("127.0.0.1", port);
  return Send(client, method, path, body, token);
}

}  // namespace quillet::testing
