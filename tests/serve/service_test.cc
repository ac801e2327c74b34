// The service end to end: every resource used in turn as an operator's
// session would; and the service as operators run it: what it refuses to start
// with, its OpenAPI document against its routes, a database it cannot reach, a
// stop while a request waits, and two instances issuing from one rule on one
// database.
#include "apps/serve/service.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "apps/serve/resources.h"
#include "quillet/quillet.h"
#include "quillet/xml_document.h"
#include "tests/apps/tool_runner.h"
#include "tests/serve/http_client.h"
#include "tests/support/backends.h"
#include "tests/support/held_transaction.h"
#include "tests/support/serve_process.h"

namespace quillet::testing {
namespace {

using nlohmann::json;

const std::string kIssue = "/v1/items/LW-DR-012/serials";
const std::string kSaved = R"({"date":"2024-05-06","save":true})";

TEST(ServeStart, RefusesWhatItCannotServe) {
  TempSqliteFile file;
  ASSERT_EQ(RunTool(WithDb({"init"}, file.connection_string())).exit_status, 0);
  const std::vector<FailureCase> cases = {
      {"serve --listen 0.0.0.0:0", 2, "loopback addresses only"},
      {"serve --listen 127.0.0.1", 2, "has no port"},
      {"serve --token-file /nonexistent/token", 1, "cannot read the token file"},
      {"serve --threads 0", 2, "--threads"},
      {"serve --max-body 0", 2, "--max-body"},
  };
  for (const FailureCase& c : cases) {
    const ToolRun run = RunTool(WithDb(Words(c.line), file.connection_string()));
    EXPECT_EQ(run.exit_status, c.exit_status) << run.err;
    EXPECT_NE(run.err.find(c.fragment), std::string::npos) << run.err;
  }
  const ToolRun missing = RunTool(WithDb({"serve"}, "sqlite:/nonexistent/quillet.db"));
  EXPECT_EQ(missing.exit_status, 1) << missing.err;
}

// The document describes exactly the router's routes, and asks for the token
// exactly where the router does.
TEST(ServeOpenApi, DescribesEveryRouteAndNothingElse) {
  TestDatabase db("sqlite");
  const ServeProcess serve(db.connection_string());
  const json document = json::parse(Send(serve.port(), "GET", "/v1/openapi.json").body);
  EXPECT_TRUE(document.value("openapi", "").starts_with("3."));
  std::map<std::string, bool> described;  // "METHOD path" -> needs the token
  for (const auto& [path, operations] : document.at("paths").items()) {
    for (const auto& [method, operation] : operations.items()) {
      if (method == "parameters") continue;
      std::string upper = method;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      // An empty alternative: the token is needed only for some requests.
      const json security = operation.value("security", json::array());
      described[upper + " " + path] =
          !security.empty() &&
          std::find(security.begin(), security.end(), json::object()) == security.end();
    }
  }
  // Issuing with saving needs the token: the operation says so.
  EXPECT_EQ(document.at("paths").at("/v1/items/{item}/serials").at("post").at("security"),
            json::parse(R"([{}, {"bearer": []}])"));
  std::map<std::string, bool> routed;
  const serve::Router router = serve::ServiceRouter();
  for (const serve::Route& route : router.routes()) {
    routed[route.method + " " + route.path] = route.access == serve::Access::kWrite;
  }
  EXPECT_EQ(described, routed);
}

class ServeOperations : public ::testing::TestWithParam<std::string> {};

// A database that cannot be reached is the service's 503 (the request may be
// tried again), also for readiness; the process itself stays healthy.
TEST_P(ServeOperations, UnreachableDatabaseAnswers503) {
  serve::ServiceConfig config;
  config.db = GetParam() == "sqlite" ? "sqlite:/nonexistent/quillet.db"
                                     : "postgresql:host=/nonexistent dbname=quillet";
  config.port = 0;
  config.threads = 1;
  config.log = [](std::string_view) {};
  serve::Service service(config);
  const int port = service.Bind();
  std::thread running([&] { service.Run(); });
  for (const char* path : {"/v1/rules", "/readyz"}) {
    const Answer answer = Send(port, "GET", path);
    EXPECT_EQ(answer.status, 503) << answer.body;
    EXPECT_EQ(answer.content_type, "application/problem+json");
  }
  EXPECT_EQ(Send(port, "GET", "/healthz").status, 200);
  service.Stop();
  running.join();
}

// PostgreSQL refusing the service's database while it runs, then taking it
// again: 503 meanwhile, and the same worker answers once it is back.
TEST(ServePostgres, DatabaseGoneAnswers503UntilItIsBack) {
  const char* conninfo = std::getenv("QUILLET_TEST_POSTGRES");
  if (conninfo == nullptr) GTEST_SKIP() << "QUILLET_TEST_POSTGRES is not set";
  const std::string name = "quillet_serve_" + std::to_string(::getpid());
  store::Connection admin;
  admin.Open(std::string("postgresql:") + conninfo);
  admin.Execute(store::Sql{"create database " + name});
  const std::string db = std::string("postgresql:") + conninfo + " dbname=" + name;
  const auto allow = [&](bool on) {
    admin.Execute(
        store::Sql{"alter database " + name + " allow_connections " + (on ? "true" : "false")});
    static constexpr store::Sql kDrop{
        "select count(pg_terminate_backend(pid)) from pg_stat_activity where datname=:1"};
    if (!on) admin.Query(kDrop, {name});
  };
  {
    ASSERT_EQ(RunTool(WithDb({"init", "--demo"}, db)).exit_status, 0);
    const ServeProcess serve(db, {"--threads", "1"});
    EXPECT_EQ(Send(serve.port(), "POST", kIssue, kSaved).status, 200);
    allow(false);
    EXPECT_EQ(Send(serve.port(), "GET", "/v1/rules/all/number").status, 503);
    EXPECT_EQ(Send(serve.port(), "POST", kIssue, kSaved).status, 503);
    allow(true);
    EXPECT_NE(Send(serve.port(), "POST", kIssue, kSaved).body.find("202405060002"),
              std::string::npos);
  }
  admin.Execute(store::Sql{"drop database " + name});
}

// SIGTERM while a request waits for the database: no new connection is
// taken, the waiting request is answered, and the process ends with 0.
TEST_P(ServeOperations, StopLetsTheRequestInFlightFinish) {
  TestDatabase db(GetParam(), /*with_demo=*/true);
  ServeProcess serve(db.connection_string(), {"--threads", "2"});
  httplib::Client client("127.0.0.1", serve.port());
  client.set_keep_alive(true);
  ASSERT_EQ(Send(client, "GET", "/v1/rules/all/number").status, 200);
  Answer in_flight;
  std::atomic<bool> answered{false};
  {
    HeldTransaction lock(db.connection_string());
    lock.db().Execute(store::Sql{"update SNrulemain set cnumber=cnumber"});
    lock.StartBeside(
        [&] {
          in_flight = Send(client, "POST", kIssue, kSaved);
          answered = true;
        },
        "SNrulemain");
    serve.Signal(SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (Send(serve.port(), "GET", "/healthz").status != 0 &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(Send(serve.port(), "GET", "/healthz").status, 0) << "a new connection was taken";
    EXPECT_FALSE(answered) << "the request did not wait for the database";
  }
  EXPECT_EQ(in_flight.status, 200) << in_flight.body;
  EXPECT_NE(in_flight.body.find(R"("saved":true,"serial_numbers":["202405060001"])"),
            std::string::npos)
      << in_flight.body;
  EXPECT_EQ(serve.Wait(), 0);
  EXPECT_NE(serve.Log().find("SIGTERM: stopping"), std::string::npos) << serve.Log();
}

// Two processes on one database, clients alternating between them: every
// serial number comes once, and the running number moved by all of them.
TEST_P(ServeOperations, TwoInstancesIssueEachNumberOnce) {
  constexpr int kClients = 6;
  constexpr int kRounds = 6;
  constexpr int kCount = 3;
  TestDatabase db(GetParam(), /*with_demo=*/true);
  const TokenFile token;
  const std::vector<std::string> options = {"--token-file", token.path(), "--threads", "3"};
  const ServeProcess first(db.connection_string(), options);
  const ServeProcess second(db.connection_string(), options);
  const std::string batch =
      R"({"date":"2024-05-06","save":true,"count":)" + std::to_string(kCount) + "}";
  std::vector<std::vector<std::string>> issued(kClients);
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      for (int round = 0; round < kRounds; ++round) {
        const int port = (c + round) % 2 == 0 ? first.port() : second.port();
        const Answer answer = Send(port, "POST", kIssue, batch, kToken);
        const json body = json::parse(answer.body, nullptr, false);
        if (answer.status != 200 || body.value("serial_numbers", json::array()).size() != kCount) {
          issued[c].push_back("failed: " + answer.body);
          continue;
        }
        for (const json& serial : body["serial_numbers"]) issued[c].push_back(serial);
      }
    });
  }
  for (std::thread& client : clients) client.join();
  std::multiset<std::string> all;
  for (const auto& list : issued) all.insert(list.begin(), list.end());
  for (const std::string& serial : all) EXPECT_FALSE(serial.starts_with("failed")) << serial;
  const std::set<std::string> distinct(all.begin(), all.end());
  EXPECT_EQ(all.size(), std::size_t{kClients * kRounds * kCount});
  EXPECT_EQ(distinct.size(), all.size()) << "a serial number was issued twice";
  const std::string next = std::to_string(1 + kClients * kRounds * kCount);
  EXPECT_NE(Send(first.port(), "GET", "/v1/rules/all/number").body.find('"' + next + '"'),
            std::string::npos);
}

// A stored step past 32 bits (which only SQLite keeps) in one rule: the
// tool and the service still list every other rule, and name that one apart.
TEST(ServeSqlite, ARuleThatCannotBeReadIsListedApart) {
  TestDatabase db("sqlite", /*with_demo=*/true);
  auto rule = std::make_shared<XmlDocument>();
  rule->loadXML(
      "<rule cinvname='Floor lamps'><row igrade='1' cdatasrctype='10' cdatasrcformat='1' "
      "iformatlength='4' cpatchsign='0' creplacesign='' isteplength='99999999999'/></rule>");
  std::string message;
  db.NewObject()->SaveSNRulesrv(rule, "0102", 0, "Floor lamps", message);
  const ToolRun list = RunTool(WithDb({"rule", "list"}, db.connection_string()));
  EXPECT_EQ(list.exit_status, 0) << list.err;
  EXPECT_NE(list.out.find("Lighting"), std::string::npos) << list.out;
  EXPECT_NE(list.err.find("\"Floor lamps\" of class:0102 cannot be read"), std::string::npos)
      << list.err;
  const ServeProcess serve(db.connection_string());
  const Answer answer = Send(serve.port(), "GET", "/v1/rules");
  EXPECT_EQ(answer.status, 200) << answer.body;
  const json body = json::parse(answer.body);
  EXPECT_EQ(body.at("rules").size(), 3u);
  ASSERT_EQ(body.at("unreadable").size(), 1u);
  EXPECT_EQ(body["unreadable"][0].value("owner", ""), "class:0102");
}

INSTANTIATE_TEST_SUITE_P(Backends, ServeOperations, ::testing::ValuesIn(Backends()));

// Every resource of the service, used in turn as an operator's session on a
// demo database would use them, on each backend: the status and a part of
// each answer. Every failure is a problem object with a reason, every empty
// serial number says why, and the log has one line per request.
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
    {"GET", "/v1/mappings/department?q=%25", "", Auth::kNone, 200, R"("total":0)"},
    {"PUT", "/v1/mappings/department/01", R"({"code":"MF"})", Auth::kToken, 200,
     R"({"code":"MF","name":"制造部","previous_code":"01")"},
    {"GET", "/v1/mappings/department?q=mf", "", Auth::kNone, 200, R"("total":1)"},
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
    // What would repeat serial numbers is done only when forced.
    {"PUT", "/v1/rules/class:0102/number", R"({"next_number":400})", Auth::kToken, 409,
     R"("field":"force")"},
    {"PUT", "/v1/rules/class:0102",
     R"({"name":"Floor lamps","segments":["number,width=4,step=0"]})", Auth::kToken, 409,
     R"("field":"force")"},
    {"PUT", "/v1/rules/class:0102/number", R"({"next_number":400,"force":true})", Auth::kToken, 200,
     R"({"next_number":"400","owner":"class:0102","previous":"500"})"},
    {"POST", "/v1/items/LW-FL-300/serials", R"({"save":true})", Auth::kToken, 200,
     R"("owner":"class:0102","rule":"Floor lamps","saved":true,"serial_numbers":["FL-0400"])"},
    {"DELETE", "/v1/rules/class:0102", "", Auth::kToken, 200, R"("next_number":"401")"},
    // A warning of the rule comes with the numbers; a number past its digits
    // is refused before it is used.
    {"PUT", "/v1/rules/item:LW-FL-310",
     R"({"name":"Arc","segments":["text=A","number,width=1,warn=1"]})", Auth::kToken, 201,
     R"("name":"Arc")"},
    {"POST", "/v1/items/LW-FL-310/serials", R"({"save":true})", Auth::kToken, 200,
     R"("warnings":[")"},
    {"PUT", "/v1/rules/item:LW-FL-310/number", R"({"next_number":10})", Auth::kToken, 200,
     R"("next_number":"10")"},
    {"POST", "/v1/items/LW-FL-310/serials", R"({"save":true})", Auth::kToken, 422,
     R"("number":1226)"},
    {"GET", "/v1/rules/item:LW-FL-310/number", "", Auth::kNone, 200, R"("next_number":"10")"},
    // No serial number is a problem telling the reason, in the service's words.
    {"PUT", "/v1/rules/item:LW-CL-200",
     R"({"name":"Clip","segments":["text=C-","warehouse,width=3","number,width=3"]})", Auth::kToken,
     201, R"("name":"Clip")"},
    {"POST", "/v1/items/LW-CL-200/preview", "", Auth::kNone, 422,
     R"(needs a value: add \"warehouse\" to the request's values)"},
    {"POST", "/v1/items/LW-CL-200/serials", R"({"save":true})", Auth::kToken, 422,
     R"("reason":"segment 2 (warehouse,width=3) of item:LW-CL-200 needs a value)"},
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
    // Captions follow the first language the request accepts.
    httplib::Client client("127.0.0.1", serve.port());
    const auto english = client.Get("/v1/sources", {{"Accept-Language", "en-US,en;q=0.9"}});
    ASSERT_TRUE(english);
    EXPECT_NE(english->body.find(R"("caption":"Department")"), std::string::npos) << english->body;
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
  expected.insert("GET /v1/sources 200");  // the request in English
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
