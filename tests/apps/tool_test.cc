// The quillet tool end to end: init, call and rpc on a real database, and what
// it tells people: its version, each command's help with its own examples, the
// nearest word for an unknown one, exit status 2 for every command line it
// cannot use, and database errors in the database's words.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "quillet/error.h"
#include "store/database_error.h"
#include "tests/apps/tool_runner.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

using nlohmann::json;
using testing::RunTool;
using testing::TempSqliteFile;
using testing::TestDatabase;
using testing::ToolRun;

json OnlyLine(const ToolRun& run) {
  const std::vector<std::string> lines = run.Lines();
  EXPECT_EQ(lines.size(), 1u) << run.out;
  return lines.empty() ? json() : json::parse(lines.front());
}

class ToolTest : public ::testing::TestWithParam<std::string> {};

// An rpc session answers each line in order; a method's error is its line's
// answer, and the session goes on.
TEST_P(ToolTest, RpcSessionAnswersEveryLineInOrder) {
  TestDatabase db(GetParam());
  EXPECT_EQ(RunTool({"init", "--db", db.connection_string()}).exit_status, 0);  // tables kept
  const std::string requests = R"({"method":"GetContrapose","args":{"cDataType":"2","cSeed":"x"}})"
                               "\n"
                               R"({"method":"init"})"
                               "\n"
                               R"({"method":"GetmaxGrade","args":{"maxgrade":-1e400}})"
                               "\n"
                               R"({"method":"Init","args":{}})"
                               "\n"
                               R"({"method":"CheckTaskExecsrv","args":{"sTaskID":"T5"}})"
                               "\r\n"
                               R"({"method":"CheckTaskExecsrv","args":{"sTaskID":"T6"}})";
  const ToolRun run =
      RunTool({"rpc", "--db", db.connection_string(), "--allow-task", "T5"}, requests);

  EXPECT_EQ(run.exit_status, 0) << run.err;
  const std::vector<std::string> lines = run.Lines();
  ASSERT_EQ(lines.size(), 6u) << run.out;
  EXPECT_EQ(json::parse(lines[0]).at("error").at("number"), errc::kConnectionClosed);
  EXPECT_EQ(json::parse(lines[1]).at("error"), json(nullptr));
  EXPECT_EQ(json::parse(lines[2]).at("error").at("number"), errc::kInvalidArgument);
  EXPECT_EQ(json::parse(lines[3]).at("error").at("number"), errc::kObjectOpen);
  EXPECT_EQ(json::parse(lines[4]),
            json::parse(R"({"result":{"type":"empty"},"out":{"bTaskExec":true},"error":null})"));
  EXPECT_EQ(json::parse(lines[5]).at("out"), json::parse(R"({"bTaskExec":false})"));
}

INSTANTIATE_TEST_SUITE_P(Backends, ToolTest, ::testing::ValuesIn(testing::Backends()));

TEST(ToolLimits, RequestsAboveTheBoundAreRefusedAndTheNextAnswered) {
  TempSqliteFile file;
  const std::vector<std::string> bound = {"QUILLET_MAX_REQUEST=64"};
  const std::string blanks(64, ' ');
  const ToolRun rpc =
      RunTool({"rpc", "--db", file.connection_string()},
              R"({"method":"init")" + blanks + "}\n" + R"({"method":"init"})" + "\n", bound);
  const std::vector<std::string> lines = rpc.Lines();
  ASSERT_EQ(lines.size(), 2u) << rpc.out << rpc.err;
  EXPECT_EQ(json::parse(lines[0]).at("error").at("number"), errc::kRequestTooLarge);
  EXPECT_EQ(json::parse(lines[1]).at("error"), json(nullptr));

  const std::string padded = "{" + blanks + "}";
  const ToolRun call =
      RunTool({"call", "init", "--db", file.connection_string(), "--args", padded}, "", bound);
  EXPECT_EQ(call.exit_status, 2);
  EXPECT_NE(call.err.find("error 1206: the request is larger than 64 bytes"), std::string::npos)
      << call.err;
  EXPECT_EQ(RunTool({"call", "init", "--db", file.connection_string(), "--args", padded,
                     "--max-request", "100"},
                    "", bound)
                .exit_status,
            0);
}

TEST(ToolUsage, UsageErrorsExitTwoAndCallNothing) {
  TempSqliteFile file;
  for (const char* line :
       {"call NoSuchMethod", R"(call GetmaxGrade --args {"maxgrade":99999})",
        R"(call GetmaxGrade --args {"maxgrade":)", R"(call GetmaxGrade --args {"maxgrade":1e400})",
        R"(call GetmaxGrade --args {"nope":1})", "call GetmaxGrade --args-file /nonexistent/args",
        "call CheckTaskExecsrv --frobnicate", "frobnicate"}) {
    const ToolRun run = RunTool(testing::WithDb(testing::Words(line), file.connection_string()));
    EXPECT_EQ(run.exit_status, 2) << line;
    EXPECT_EQ(run.out, "") << line;
    EXPECT_NE(run.err, "") << line;
  }
  EXPECT_FALSE(std::filesystem::exists(file.path()));  // no connection was opened
}

TEST(ToolExit, RaisedErrorsExitOneWithTheResponse) {
  const std::string unopenable = "sqlite:/nonexistent-dir/q.db";
  const ToolRun init = RunTool({"call", "init", "--db", unopenable});
  EXPECT_EQ(init.exit_status, 1);
  EXPECT_EQ(OnlyLine(init).at("error").at("number"), store::kSqliteCantOpen);

  // The method never runs when its init fails; its response carries init's error.
  const ToolRun call = RunTool({"call", "CheckTaskExecsrv", "--db", unopenable});
  EXPECT_EQ(call.exit_status, 1);
  const json response = OnlyLine(call);
  EXPECT_EQ(response.at("out"), json::parse(R"({"bTaskExec":{"type":"empty"}})"));
  EXPECT_EQ(response.at("error").at("number"), store::kSqliteCantOpen);
}

using Args = std::vector<std::string>;

TEST(ToolAnswers, ExitStatusAndWhatItSays) {
  const struct {
    std::string line;
    int exit_status;
    std::string fragment;  // on stdout for 0, else on stderr
  } cases[] = {
      {"--version", 0, "quillet 0."},
      {"help", 0, "Getting started:"},
      {"help rule save", 0, "Usage: quillet rule save [OPTIONS] OWNER"},
      // Each command its own examples, not the tool's overview.
      {"init --help", 0, "quillet init --db demo.db --demo"},
      {"rpc --help", 0, "quillet rpc --db erp.db"},
      {"classes --help", 0, "quillet classes 0102 --json"},
      {"help --man", 0, ".SS \"quillet mapping set SOURCE VALUE CODE\""},
      {"rule lst", 2, "unknown command 'lst'; did you mean 'list'?"},
      {"rule --db x.db", 2, "needs one of the commands list, show"},
      {"help rule lst", 2, "no command 'lst' in 'quillet rule'"},
      {"issue X --dbb x", 2, "did you mean '--db'?"},
      {"call getSNumbr", 2, "did you mean 'getSNumber'?"},
      {"mapping list warehose", 2, "did you mean 'warehouse'?"},
      {"issue X --set lott=1", 2, "did you mean 'lot'?"},
      {"rule save all --name G departmnt=1,width=2", 2, "did you mean 'department'?"},
      {"init --db postgres:dbname=x", 2, "did you mean 'postgresql'?"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(testing::Words(c.line));
    EXPECT_EQ(run.exit_status, c.exit_status) << c.line << ": " << run.out << run.err;
    EXPECT_NE((c.exit_status == 0 ? run.out : run.err).find(c.fragment), std::string::npos)
        << c.line << ": " << run.out << run.err;
  }
  const ToolRun from_environment = RunTool({"call", "init"}, "", {"QUILLET_DB=mysql:erp"});
  EXPECT_EQ(from_environment.exit_status, 2);
  EXPECT_NE(from_environment.err.find("unknown kind of database"), std::string::npos);
}

// A bare path is a SQLite file; a database's error leads with its own code
// and words, names the database, and keeps the number.
TEST(ToolMessages, DatabaseErrorsInTheDatabasesWords) {
  TempSqliteFile demo;
  ASSERT_EQ(RunTool({"init", "--demo", "--db", demo.path()}).exit_status, 0);
  EXPECT_EQ(RunTool({"rule", "list", "--db", demo.path()}).exit_status, 0);

  TempSqliteFile text;
  std::ofstream(text.path()) << "not a database\n";
  for (const Args& args : {Args{"rule", "list"}, Args{"init"}}) {
    const ToolRun run = RunTool(testing::WithDb(args, text.path()));
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.err, "quillet: SQLITE_NOTADB: file is not a database (SQLite file " +
                           text.path() + "; error 26)\n");
  }

  for (const std::string& backend : testing::Backends()) {
    if (backend != "postgresql") continue;
    const std::string server = std::getenv("QUILLET_TEST_POSTGRES");
    const std::string conninfo = server.substr(0, server.find("dbname=")) + "dbname=nosuchdb";
    const ToolRun run = RunTool({"rule", "list", "--db", conninfo});
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_TRUE(run.err.starts_with("quillet: SQLSTATE ")) << run.err;
    EXPECT_NE(run.err.find("nosuchdb"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("(PostgreSQL " + conninfo + "; error "), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace quillet
