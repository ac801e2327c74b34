// A web page of another site, open in the operator's browser, cannot change
// data through a service that asks for no token: what it can send without
// asking first (a form or plain text, a foreign Origin, a name of its own
// that resolves to loopback) is refused before anything is read or saved.
// Every answer, refusals and the page included, forbids framing and sniffing.
#include "apps/serve/cross_site.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <string>
#include <vector>

#include "tests/serve/http_client.h"
#include "tests/support/backends.h"
#include "tests/support/serve_process.h"

namespace quillet::testing {
namespace {

TEST(CrossSite, NamesAndMediaTypes) {
  const serve::SiteNames names{"127.0.0.1", {"Erp.Example"}};
  const std::vector<std::pair<std::string, bool>> hosts = {
      {"127.0.0.1:8080", true},
      {"localhost:8080", true},
      {"LOCALHOST", true},
      {"[::1]:8080", true},
      {"10.1.2.3", true},
      {"erp.example:443", true},
      {"evil.example:8080", false},
      {"127.0.0.1.evil.example", false},
      {"", false},
      {"[::1", false},
  };
  for (const auto& [host, served] : hosts) {
    EXPECT_EQ(serve::IsServedName(serve::HostOfAuthority(host), names), served) << host;
  }
  const std::vector<std::pair<std::string, bool>> types = {
      {"application/json", true},
      {"Application/JSON; charset=utf-8", true},
      {"text/plain", false},
      {"application/x-www-form-urlencoded", false},
      {"", false},
      {"application/json-seq", false},
  };
  for (const auto& [type, json] : types) EXPECT_EQ(serve::IsJsonMediaType(type), json) << type;
}

struct Probe {
  std::string what;
  std::string method;
  std::string path;
  httplib::Headers headers;
  std::string body;
  int status;
};

class CrossSiteService : public ::testing::TestWithParam<std::string> {};

TEST_P(CrossSiteService, RefusesWhatAnotherSiteCanSend) {
  TestDatabase db(GetParam(), /*with_demo=*/true);
  const ServeProcess serve(db.connection_string(), {"--max-body", "1KB"});
  const std::string self = "http://127.0.0.1:" + std::to_string(serve.port());
  const std::string issue = "/v1/items/LW-DR-012/serials";
  const std::string save = R"({"count":100,"save":true})";
  const std::vector<Probe> probes = {
      {"a plain-text post", "POST", issue, {{"Content-Type", "text/plain"}}, save, 415},
      {"a form post",
       "POST",
       "/v1/rules/all/number",
       {{"Content-Type", "application/x-www-form-urlencoded"}},
       "next_number=1",
       415},
      {"a body without a type", "POST", issue, {}, save, 415},
      {"a foreign origin",
       "POST",
       issue,
       {{"Content-Type", "application/json"}, {"Origin", "http://evil.example"}},
       save,
       403},
      {"another port of loopback",
       "DELETE",
       "/v1/mappings/department",
       {{"Origin", "http://127.0.0.1:1"}},
       "",
       403},
      {"a sandboxed frame", "DELETE", "/v1/mappings/department", {{"Origin", "null"}}, "", 403},
      {"a rebound name", "GET", "/v1/rules", {{"Host", "evil.example"}}, "", 403},
      {"a rebound name posting",
       "POST",
       issue,
       {{"Content-Type", "application/json"}, {"Host", "evil.example:80"}},
       save,
       403},
      {"the page itself",
       "POST",
       issue,
       {{"Content-Type", "application/json"}, {"Origin", self}},
       R"({"count":2})",
       200},
      {"the page", "GET", "/", {}, "", 200},
      {"a resource that is not there", "GET", "/v1/nothing", {}, "", 404},
      {"a NUL in the path", "GET", "/v1/rules/item:A%00B", {}, "", 400},
      {"a path that is not UTF-8", "GET", "/v1/rules/item:%FF", {}, "", 400},
      {"a body too large",
       "PUT",
       "/v1/rules/all",
       {{"Content-Type", "application/json"}},
       std::string(2000, ' ') + "{}",
       413},
  };
  httplib::Client client("127.0.0.1", serve.port());
  for (const Probe& probe : probes) {
    SCOPED_TRACE(probe.what);
    httplib::Request request;
    request.method = probe.method;
    request.path = probe.path;
    request.headers = probe.headers;
    request.body = probe.body;
    const httplib::Result answer = client.send(request);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, probe.status) << answer->body;
    if (probe.status >= 400) {
      EXPECT_EQ(answer->get_header_value("Content-Type"), "application/problem+json");
    }
    EXPECT_NE(answer->get_header_value("Content-Security-Policy").find("frame-ancestors 'none'"),
              std::string::npos);
    EXPECT_EQ(answer->get_header_value("X-Content-Type-Options"), "nosniff");
  }
  // Nothing was used up and no mapping removed.
  EXPECT_NE(Send(serve.port(), "GET", "/v1/rules/all/number").body.find(R"("next_number":"1")"),
            std::string::npos);
  EXPECT_NE(Send(serve.port(), "GET", "/v1/mappings/department").body.find(R"("value":"0101")"),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Backends, CrossSiteService, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
