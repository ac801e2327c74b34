// The service as operators run it: what it refuses to start with, its OpenAPI
// document against its routes, a database it cannot reach, a stop while a
// request waits, and two instances issuing from one rule on one database.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "apps/serve/resources.h"
#include "apps/serve/service.h"
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
      described[upper + " " + path] = operation.contains("security");
    }
  }
  std::map<std::string, bool> routed;
  const apps::serve::Router router = apps::serve::ServiceRouter();
  for (const apps::serve::Route& route : router.routes()) {
    routed[route.method + " " + route.path] = route.access == apps::serve::Access::kWrite;
  }
  EXPECT_EQ(described, routed);
}

class ServeOperations : public ::testing::TestWithParam<std::string> {};

// A database that cannot be reached is the service's 503 (the request may be
// tried again), also for readiness; the process itself stays healthy.
TEST_P(ServeOperations, UnreachableDatabaseAnswers503) {
  apps::serve::ServiceConfig config;
  config.db = GetParam() == "sqlite" ? "sqlite:/nonexistent/quillet.db"
                                     : "postgresql:host=/nonexistent dbname=quillet";
  config.port = 0;
  config.threads = 1;
  config.log = [](std::string_view) {};
  apps::serve::Service service(config);
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

INSTANTIATE_TEST_SUITE_P(Backends, ServeOperations, ::testing::ValuesIn(Backends()));

}  // namespace
}  // namespace quillet::testing
