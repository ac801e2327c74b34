// The trail over HTTP on each backend: a rule file out and in with its
// difference, the history of the changes made, and a void and the gaps it
// leaves; the changes need the token like every other.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/serve/http_client.h"
#include "tests/support/backends.h"
#include "tests/support/serve_process.h"

namespace quillet::testing {
namespace {

struct TrailStep {
  std::string method;
  std::string path;
  std::string body;  // "EXPORT" stands for the last export's answer, with text=SN- as text=SX-
  bool token;
  int status;
  std::string part;
};

const std::vector<TrailStep> kTrail = {
    {"PUT", "/v1/rules/all",
     R"({"name":"General","segments":["text=SN-","number,width=3,journal=yes"]})", true, 200,
     R"("owner":"all")"},
    {"POST", "/v1/items/LW-DR-012/serials", R"({"save":true,"count":3})", true, 200,
     R"("serial_numbers":["SN-001","SN-002","SN-003"])"},
    {"PUT", "/v1/rules/all/number", R"({"next_number":6})", true, 200, R"("previous":"4")"},
    {"GET", "/v1/rules/all/history", "", false, 200, R"("kind":"number")"},
    {"GET", "/v1/rules/all/history?since=yesterday", "", false, 400, "since"},
    {"POST", "/v1/journal/voids", R"({"serial_number":"SN-002","reason":"label torn"})", true, 201,
     R"("reason":"label torn")"},
    {"POST", "/v1/journal/voids", R"({"serial_number":"SN-002","reason":"again"})", true, 409,
     "voided already"},
    {"POST", "/v1/journal/voids", R"({"serial_number":"SN-002","reason":"x"})", false, 401,
     "Bearer"},
    {"GET", "/v1/rules/all/gaps", "", false, 200, R"({"gaps":[{"counter":"","detail":"by )"},
    {"GET", "/v1/rules/class:01/gaps", "", false, 400, "keeps no journal"},
    {"GET", "/v1/rules?format=export&owner=all&with_numbers=true", "", false, 200,
     "\"quillet_rules\": 1"},
    {"POST", "/v1/rules:import?dry_run=true", "EXPORT", true, 200,
     R"("applied":false,"codes":[],"rules":[{"change":"changed","lines":["- 1 text=SN-","+ 1 text=SX-")"},
    {"POST", "/v1/rules:import", "EXPORT", false, 401, "Bearer"},
    {"POST", "/v1/rules:import", "{", true, 400, "is not JSON"},
    {"POST", "/v1/rules:import", "EXPORT", true, 200, R"("applied":true)"},
    {"GET", "/v1/rules/all/history", "", false, 200, R"("kind":"save")"},
    {"GET", "/v1/rules/all", "", false, 200, R"("notation":"text=SX-")"},
};

class ServeTrail : public ::testing::TestWithParam<std::string> {};

TEST_P(ServeTrail, FilesHistoryVoidsAndGaps) {
  TestDatabase db(GetParam(), /*with_demo=*/true);
  const TokenFile token;
  ServeProcess serve(db.connection_string(), {"--token-file", token.path()});
  std::string exported;
  for (const TrailStep& step : kTrail) {
    SCOPED_TRACE(step.method + " " + step.path);
    std::string body = step.body;
    if (body == "EXPORT") {
      body = exported;
      body.replace(body.find("text=SN-"), 8, "text=SX-");
    }
    const Answer answer =
        Send(serve.port(), step.method, step.path, body, step.token ? kToken : "");
    EXPECT_EQ(answer.status, step.status) << answer.body;
    EXPECT_NE(answer.body.find(step.part), std::string::npos) << answer.body;
    if (step.path.find("format=export") != std::string::npos) exported = answer.body;
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, ServeTrail, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
