// Who may reach what: token files with roles, the role each kind of route
// asks for on loopback and beyond, tokens refused over plain HTTP beyond
// loopback, and a service answering over HTTPS.
#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "apps/cli/tool_error.h"
#include "apps/serve/problem.h"
#include "apps/serve/roles.h"
#include "apps/serve/route_access.h"
#include "apps/serve/service.h"
#include "tests/apps/tool_runner.h"
#include "tests/serve/http_client.h"
#include "tests/support/backends.h"

namespace quillet::testing {
namespace {

using serve::Access;
using serve::Role;
using serve::RoleToken;

TEST(TokenFile, ReadsRolesAndTheOneTokenForm) {
  struct Case {
    std::string text;
    std::vector<std::pair<Role, std::string>> tokens;  // empty: refused
    std::string refusal{};
  };
  const std::vector<Case> cases = {
      {"s3cret\n", {{Role::kAdmin, "s3cret"}}},
      {"  s3cret  \r\nignored? no\n", {}, "line 2 of the token file names no role"},
      {"# operators\nreader r1\n\nissuer i1\nadmin a1\n",
       {{Role::kReader, "r1"}, {Role::kIssuer, "i1"}, {Role::kAdmin, "a1"}}},
      {"reader r1\nissuer r1\n", {}, "line 2 of the token file repeats a token"},
      {"writer w1\n", {}, "line 1 of the token file names no role"},
      {"reader r1 extra\n", {}, "line 1 of the token file has more than a role and a token"},
      {"\n# none\n", {}, "holds no token"},
  };
  for (const Case& c : cases) {
    try {
      std::vector<std::pair<Role, std::string>> read;
      for (const RoleToken& token : serve::ParseTokenLines(c.text)) {
        read.emplace_back(token.role, token.token);
      }
      EXPECT_EQ(read, c.tokens) << c.text;
    } catch (const cli::ToolFailure& failure) {
      EXPECT_TRUE(c.tokens.empty()) << c.text << ": " << failure.what();
      EXPECT_NE(std::string(failure.what()).find(c.refusal), std::string::npos) << failure.what();
      EXPECT_EQ(std::string(failure.what()).find("r1"), std::string::npos) << "a token was told";
    }
  }
}

// The status a request to a route of `access` gets: 200 when it passes.
int StatusOf(Access access, const std::string& host, const std::string& token) {
  serve::ServiceConfig config;
  config.host = host;
  config.tokens = {{Role::kReader, "r"}, {Role::kIssuer, "i"}, {Role::kAdmin, "a"}};
  httplib::Request request;
  if (!token.empty()) request.set_header("Authorization", "Bearer " + token);
  try {
    serve::RequireRouteRole(request, access, config);
    return 200;
  } catch (const serve::Problem& problem) {
    return problem.status();
  }
}

TEST(RouteRoles, EachRouteAsksForItsRole) {
  struct Case {
    Access access;
    std::string host;
    std::string token;
    int status;
  };
  const std::vector<Case> cases = {
      {Access::kProbe, "0.0.0.0", "", 200},     {Access::kProbe, "0.0.0.0", "wrong", 200},
      {Access::kRead, "127.0.0.1", "", 200},    {Access::kRead, "0.0.0.0", "", 401},
      {Access::kRead, "0.0.0.0", "wrong", 403}, {Access::kRead, "0.0.0.0", "r", 200},
      {Access::kRead, "::", "i", 200},          {Access::kWrite, "127.0.0.1", "", 401},
      {Access::kWrite, "127.0.0.1", "r", 403},  {Access::kWrite, "127.0.0.1", "i", 403},
      {Access::kWrite, "127.0.0.1", "a", 200},  {Access::kWrite, "127.0.0.1", "a ", 200},
      {Access::kWrite, "127.0.0.1", "aa", 403},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StatusOf(c.access, c.host, c.token), c.status)
        << static_cast<int>(c.access) << " on " << c.host << " with '" << c.token << "'";
  }
}

TEST(ServeStart, RefusesTokensOverPlainHttpBeyondLoopback) {
  TempSqliteFile file;
  ASSERT_EQ(RunTool(WithDb({"init"}, file.connection_string())).exit_status, 0);
  const std::string tokens = TempPath("tokens");
  ASSERT_EQ(std::system(("echo 'reader r1' > " + tokens).c_str()), 0);
  const std::vector<FailureCase> cases = {
      {"serve --listen 0.0.0.0:0 --token-file " + tokens, 2, "plain HTTP on 0.0.0.0"},
      {"serve --tls-cert " + tokens, 2, "--tls-cert and --tls-key go together"},
      {"serve --tls-cert " + tokens + " --tls-key " + tokens, 1, "cannot load the TLS"},
  };
  for (const FailureCase& c : cases) {
    const ToolRun run = RunTool(WithDb(Words(c.line), file.connection_string()));
    EXPECT_EQ(run.exit_status, c.exit_status) << c.line << ": " << run.err;
    EXPECT_NE(run.err.find(c.fragment), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("r1"), std::string::npos) << "a token was told";
  }
  std::remove(tokens.c_str());
}

// A certificate for 127.0.0.1 made for the test, and its key.
struct TestCertificate {
  TestCertificate() {
    const std::string command =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "
        "/CN=127.0.0.1 -keyout " +
        key + " -out " + cert + " 2>/dev/null";
    made = std::system(command.c_str()) == 0;
  }
  ~TestCertificate() {
    std::remove(cert.c_str());
    std::remove(key.c_str());
  }
  std::string cert = TempPath("cert") + ".pem";
  std::string key = TempPath("key") + ".pem";
  bool made = false;
};

TEST(ServeTls, AnswersOverHttpsAskingEachRequestForItsRole) {
  const TestCertificate certificate;
  ASSERT_TRUE(certificate.made) << "openssl could not make a certificate";
  TestDatabase db("sqlite", /*with_demo=*/true);
  serve::ServiceConfig config;
  config.db = db.connection_string();
  config.locale = "en-US";
  config.port = 0;
  config.threads = 2;
  config.tls_cert = certificate.cert;
  config.tls_key = certificate.key;
  config.tokens = {{Role::kReader, "r"}, {Role::kIssuer, "i"}, {Role::kAdmin, "a"}};
  std::string log;
  config.log = [&log](std::string_view line) { log += std::string(line) + "\n"; };
  serve::Service service(config);
  const int port = service.Bind();
  std::thread running([&] { service.Run(); });
  httplib::Client client("https://127.0.0.1:" + std::to_string(port));
  client.enable_server_certificate_verification(false);
  struct Step {
    std::string method, path, body, token;
    int status;
  };
  const std::string save = R"({"date":"2024-05-06","save":true})";
  const std::vector<Step> steps = {
      {"GET", "/v1/rules", "", "", 200},
      {"POST", "/v1/items/LW-DR-012/serials", save, "", 401},
      {"POST", "/v1/items/LW-DR-012/serials", save, "r", 403},
      {"POST", "/v1/items/LW-DR-012/serials", save, "i", 200},
      {"PUT", "/v1/rules/all/number", R"({"next_number":9})", "i", 403},
      {"PUT", "/v1/rules/all/number", R"({"next_number":9})", "a", 200},
  };
  for (const Step& step : steps) {
    const Answer answer = Send(client, step.method, step.path, step.body, step.token);
    EXPECT_EQ(answer.status, step.status) << step.method << " " << step.path << ": " << answer.body;
  }
  EXPECT_EQ(Send(port, "GET", "/healthz").status, 0) << "plain HTTP was answered";
  service.Stop();
  running.join();
  for (const char* token : {"Bearer", " r\n", " i\n", " a\n"}) {
    EXPECT_EQ(log.find(token), std::string::npos) << "the log shows a token:\n" << log;
  }
}

}  // namespace
}  // namespace quillet::testing
