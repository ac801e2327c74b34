// Every resource of the service, used in turn as an operator's session on a
// demo database would use them, on each backend: the status and a part of
// each answer. Every failure is a problem object with a reason, every empty
// serial number says why, and the log has one line per request.
#include <gtest/gtest.h>

#include <csignal>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/apps/tool_runner.h"
#include "tests/serve/http_client.h"
#include "tests/support/backends.h"
#include "tests/support/serve_process.h"

namespace quillet::testing {
namespace {

using nlohmann::json;

enum class Auth { kNone, kToken, kOther };

struct Step {
  std::string method;
  std::string path;
  std::string body;
  Auth auth;
  int status;
  std::string part;  // a part of the answer's body
};

const std::string kLine = R"({"date":"2024-05-06","values":{"department":"0101"}})";
const std::string kDated = R"({"date":"2024-05-06")";
const std::string kFloorLamps = R"({"name":"Floor lamps","segments":["text=FL-",)"
                                R"({"source":"number","width":4}]})";

const std::vector<Step> kSession = {
    // What there is.
    {"GET", "/healthz", "", Auth::kNone, 200, R"({"status":"ok"})"},
    {"GET", "/readyz", "", Auth::kNone, 200, R"({"status":"ready"})"},
    {"GET", "/v1/openapi.json", "", Auth::kNone, 200, R"("/v1/rules/{owner}/number")"},
    {"GET", "/v1/sources", "", Auth::kNone, 200, R"("source":"department","table":"department")"},
    {"GET", "/v1/classes", "", Auth::kNone, 200,
     R"({"code":"0102001","level":3,"name":"弧形落地灯","parent":"0102"})"},
    {"GET", "/v1/classes/0102/items", "", Auth::kNone, 200, R"({"code":"LW-FL-310","name":)"},
    {"GET", "/v1/rules", "", Auth::kNone, 200,
     R"("name":"General","next_number":"1","owner":"all")"},
    {"GET", "/v1/rules/class:01", "", Auth::kNone, 200, R"({"name":"Lighting","next_number":"1")"},
    {"GET", "/v1/rules/class:01/number", "", Auth::kNone, 200, R"("next_number":"1")"},
    // Issuing: reading needs no token, saving does.
    {"POST", "/v1/items/LW-DR-012/serials", kDated + R"(,"count":2})", Auth::kNone, 200,
     R"("owner":"all","rule":"General","saved":false,"serial_numbers":["202405060001","2024)"},
    {"POST", "/v1/items/LW-DR-012/serials", kDated + R"(,"count":2,"save":true})", Auth::kToken,
     200, R"("saved":true,"serial_numbers":["202405060001","202405060002"])"},
    {"POST", "/v1/items/LW-DR-012/serials", kDated + R"(,"save":true})", Auth::kToken, 200,
     R"("serial_numbers":["202405060003"])"},
    // Mappings, and calls by name.
    {"GET", "/v1/mappings/department?offset=1&limit=2", "", Auth::kNone, 200,
     R"("limit":2,"mappings":[{"code":"01","name":"装配车间","set_by_user":false,"value":"0101"},)"},
    {"GET", "/v1/mappings/department?q=0102", "", Auth::kNone, 200, R"("total":1)"},
    {"PUT", "/v1/mappings/department/01", R"({"code":"MF"})", Auth::kToken, 200,
     R"({"code":"MF","name":"制造部","previous_code":"01")"},
    {"POST", "/v1/items/LW-FL-300/preview", kLine, Auth::kNone, 200, R"("prefix":"LWMF20240506")"},
    {"POST", "/v1/call/GetContrapose", R"({"args":{"cDataType":"2","cSeed":"01"}})", Auth::kToken,
     200, R"({"error":null,"out":{},"result":"MF"})"},
    {"DELETE", "/v1/mappings/department", "", Auth::kToken, 200,
     R"({"archive":"department","sources":["department"]})"},
    {"GET", "/v1/mappings/department?q=MF", "", Auth::kNone, 200, R"("total":0)"},
    // Rules and running numbers.
    {"PUT", "/v1/rules/class:0102", kFloorLamps, Auth::kToken, 201,
     R"({"name":"Floor lamps","next_number":"1","notes":[],"owner":"class:0102")"},
    {"PUT", "/v1/rules/class:0102", kFloorLamps, Auth::kToken, 200, R"("owner":"class:0102")"},
    {"PUT", "/v1/rules/class:0102/number", R"({"next_number":500})", Auth::kToken, 200,
     R"({"next_number":"500","owner":"class:0102","previous":"1"})"},
    {"GET", "/v1/rules/class:0102/number", "", Auth::kNone, 200, R"("next_number":"500")"},
    {"POST", "/v1/items/LW-FL-300/serials", R"({"save":true})", Auth::kToken, 200,
     R"("owner":"class:0102","rule":"Floor lamps","saved":true,"serial_numbers":["FL-0500"])"},
    {"DELETE", "/v1/rules/class:0102", "", Auth::kToken, 200, R"("next_number":"501")"},
    // An empty serial number comes with its reason.
    {"PUT", "/v1/rules/item:LW-CL-200",
     R"({"name":"Clip","segments":["text=C-","warehouse,width=3","number,width=3"]})", Auth::kToken,
     201, R"("name":"Clip")"},
    {"POST", "/v1/items/LW-CL-200/preview", "", Auth::kNone, 200, R"("reason":"segment 2 (ware)"},
    {"POST", "/v1/items/LW-CL-200/serials", R"({"save":true})", Auth::kToken, 200,
     R"("saved":false,"serial_numbers":[])"},
    // Failures: the part names the field at fault, or tells the reason.
    {"GET", "/v1/nothing", "", Auth::kNone, 404, "there is no resource at /v1/nothing"},
    {"DELETE", "/v1/rules", "", Auth::kToken, 405, "(it takes GET)"},
    {"GET", "/v1/rules?locale=!!", "", Auth::kNone, 400, R"("field":"locale")"},
    {"GET", "/v1/rules/nobody:x", "", Auth::kNone, 400, R"("field":"owner")"},
    {"GET", "/v1/classes/99/items", "", Auth::kNone, 404, "no inventory class 99"},
    {"GET", "/v1/mappings/date", "", Auth::kNone, 400, R"("field":"source")"},
    {"GET", "/v1/mappings/department?limit=0", "", Auth::kNone, 400, R"("field":"limit")"},
    {"PUT", "/v1/mappings/department/77", R"({"code":"X"})", Auth::kToken, 404, "no value 77"},
    {"PUT", "/v1/mappings/department/01", "{}", Auth::kToken, 400, R"("field":"code")"},
    {"DELETE", "/v1/mappings/nowhere", "", Auth::kToken, 404, "archive nowhere"},
    {"POST", "/v1/items/NOPE/preview", "", Auth::kNone, 404, "no item NOPE"},
    {"POST", "/v1/items/LW-DR-012/serials", "[1]", Auth::kNone, 400, R"("field":"body")"},
    {"POST", "/v1/items/LW-DR-012/serials", "{x", Auth::kNone, 400, R"("field":"body")"},
    {"POST", "/v1/items/LW-DR-012/serials", R"({"count":0})", Auth::kNone, 400,
     R"("field":"count")"},
    {"POST", "/v1/items/LW-DR-012/serials", R"({"values":{"lot":1}})", Auth::kNone, 400,
     R"("field":"values")"},
    {"POST", "/v1/items/LW-DR-012/serials", R"({"date":"May"})", Auth::kNone, 400,
     R"("field":"date")"},
    {"POST", "/v1/items/LW-DR-012/serials", R"({"colour":"red"})", Auth::kNone, 400,
     R"("field":"colour")"},
    {"PUT", "/v1/rules/class:0102", R"({"name":"General","segments":["text=A"]})", Auth::kToken,
     409, "belongs to the rule of all"},
    {"PUT", "/v1/rules/class:0102", R"({"segments":["text=A"]})", Auth::kToken, 400,
     R"("field":"name")"},
    {"PUT", "/v1/rules/class:0102", R"({"name":"X","segments":["department=1"]})", Auth::kToken,
     400, R"("field":"segments")"},
    {"PUT", "/v1/rules/class:0102", R"({"name":"X","segments":[{"source":"lot","level":1}]})",
     Auth::kToken, 400, R"("field":"segments[0]")"},
    {"PUT", "/v1/rules/class:9999", R"({"name":"X","segments":["text=A"]})", Auth::kToken, 404,
     "no inventory class 9999"},
    {"PUT", "/v1/rules/class:01/number", R"({"next_number":"x"})", Auth::kToken, 400,
     R"("field":"next_number")"},
    {"DELETE", "/v1/rules/class:0102", "", Auth::kToken, 404, "has no rule of its own"},
    {"POST", "/v1/call/NoSuch", "", Auth::kToken, 404, R"("number":438)"},
    {"POST", "/v1/call/GetContrapose", R"({"args":{"cDataType":2}})", Auth::kToken, 400,
     R"("field":"args")"},
    {"PUT", "/v1/rules/all", std::string(1100, ' ') + "{}", Auth::kToken, 413, "1024 bytes"},
    // Changes need the token, and are refused whole without it.
    {"PUT", "/v1/rules/all/number", R"({"next_number":9})", Auth::kNone, 401,
     R"("field":"Authorization")"},
    {"PUT", "/v1/rules/all/number", R"({"next_number":9})", Auth::kOther, 403,
     R"("field":"Authorization")"},
    {"POST", "/v1/items/LW-DR-012/serials", R"({"save":true})", Auth::kNone, 401, "Bearer"},
    {"POST", "/v1/call/GetContrapose", "", Auth::kNone, 401, "Bearer"},
    {"DELETE", "/v1/rules/item:LW-CL-200", "", Auth::kOther, 403, "not the service's token"},
    {"GET", "/v1/rules/all/number", "", Auth::kNone, 200, R"("next_number":"4")"},
    {"GET", "/v1/rules/item:LW-CL-200", "", Auth::kNone, 200, R"("name":"Clip")"},
};

std::string TokenOf(Auth auth) {
  if (auth == Auth::kToken) return kToken;
  return auth == Auth::kOther ? "someone-else" : "";
}

// What every answer of its kind must be: a failure a problem object with its
// status and a reason; an empty serial number never without a reason.
void ExpectWellFormed(const Answer& answer) {
  const json body = json::parse(answer.body, nullptr, /*allow_exceptions=*/false);
  ASSERT_TRUE(body.is_object()) << answer.body;
  if (answer.status >= 400) {
    EXPECT_EQ(answer.content_type, "application/problem+json");
    EXPECT_EQ(body.value("status", 0), answer.status);
    EXPECT_FALSE(body.value("detail", "").empty());
    return;
  }
  EXPECT_EQ(answer.content_type, "application/json");
  const bool empty = body.value("serial_number", "-").empty() ||
                     (body.contains("serial_numbers") && body["serial_numbers"].empty());
  if (empty) {
    EXPECT_FALSE(body.value("reason", "").empty()) << "an empty serial number without a reason";
  }
}

class ServeSession : public ::testing::TestWithParam<std::string> {};

TEST_P(ServeSession, EveryResourceAnswersAsDocumented) {
  TestDatabase db(GetParam(), /*with_demo=*/true);
  const TokenFile token;
  std::string logged;
  {
    ServeProcess serve(db.connection_string(), {"--token-file", token.path(), "--max-body", "1KB"});
    for (const Step& step : kSession) {
      SCOPED_TRACE(step.method + " " + step.path + " " + step.body.substr(0, 80));
      const Answer answer =
          Send(serve.port(), step.method, step.path, step.body, TokenOf(step.auth));
      EXPECT_EQ(answer.status, step.status) << answer.body;
      EXPECT_NE(answer.body.find(step.part), std::string::npos) << answer.body;
      ExpectWellFormed(answer);
    }
    // Stopped first: a request's line is written after its answer.
    serve.Signal(SIGTERM);
    EXPECT_EQ(serve.Wait(), 0);
    logged = serve.Log();
  }
  // The log: one line per request, with no body, query or token (lines of
  // requests close together may come in either order).
  const std::regex access(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z (\S+ \S+ \d{3}) \d+\.\dms)");
  std::multiset<std::string> expected;
  for (const Step& step : kSession) {
    expected.insert(step.method + " " + step.path.substr(0, step.path.find('?')) + " " +
                    std::to_string(step.status));
  }
  std::multiset<std::string> requests;
  std::istringstream lines(logged);
  for (std::string line; std::getline(lines, line);) {
    std::smatch parts;
    if (std::regex_match(line, parts, access)) {
      requests.insert(parts[1]);
    } else {
      EXPECT_TRUE(line.starts_with("quillet serve: ")) << line;
    }
  }
  EXPECT_EQ(requests, expected);
  EXPECT_EQ(logged.find(kToken), std::string::npos);
}

// POST /v1/call/{method} answers byte for byte what `quillet call` prints, a
// raised component error included (and that is a completed call: 200).
TEST_P(ServeSession, CallsByNameAnswerWhatQuilletCallPrints) {
  TestDatabase db(GetParam(), /*with_demo=*/true);
  const ServeProcess serve(db.connection_string());
  const std::vector<std::pair<std::string, std::string>> calls = {
      {"GetContrapose", R"({"cDataType":"2","cSeed":"0101"})"},
      {"GetmaxNumbersrv", R"({"inumInvcode":"all","inumInvtype":2})"},
      {"GetmaxGrade", R"({"tablname":"nosuchtable"})"},
      {"CheckTaskExecsrv", R"({"sTaskID":"T1"})"},
      {"init", "{}"},
  };
  for (const auto& [method, args] : calls) {
    const ToolRun tool = RunTool(WithDb({"call", method, "--args", args}, db.connection_string()));
    const Answer answer =
        Send(serve.port(), "POST", "/v1/call/" + method, R"({"args":)" + args + "}");
    EXPECT_EQ(answer.status, 200) << method;
    EXPECT_EQ(answer.body + "\n", tool.out) << method;
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, ServeSession, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
