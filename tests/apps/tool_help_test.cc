// What the tool tells people: its version, each command's help with its own
// examples, the nearest word for an unknown one, exit status 2 for every
// command line it cannot use, and database errors in the database's words.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "apps/method_listing.h"
#include "tests/apps/tool_runner.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

using testing::RunTool;
using testing::TempSqliteFile;
using testing::ToolRun;

using Args = std::vector<std::string>;

struct Expectation {
  Args args;
  int exit_status;
  std::string fragment;                       // on stdout for 0, else on stderr
  std::vector<std::string> environment = {};  // NAME=VALUE
};

void PrintTo(const Expectation& e, std::ostream* os) {
  for (const std::string& arg : e.args) *os << arg << " ";
}

class ToolAnswerTest : public ::testing::TestWithParam<Expectation> {};

TEST_P(ToolAnswerTest, ExitStatusAndWhatItSays) {
  const Expectation& e = GetParam();
  const ToolRun run = RunTool(e.args, "", e.environment);
  EXPECT_EQ(run.exit_status, e.exit_status) << run.out << run.err;
  const std::string& said = e.exit_status == 0 ? run.out : run.err;
  EXPECT_NE(said.find(e.fragment), std::string::npos) << said;
}

INSTANTIATE_TEST_SUITE_P(
    Help, ToolAnswerTest,
    ::testing::Values(
        Expectation{{"--version"}, 0, "quillet 0."}, Expectation{{"help"}, 0, "Getting started:"},
        Expectation{{"help", "rule", "save"}, 0, "Usage: quillet rule save [OPTIONS] OWNER"},
        // Each command its own examples, not the tool's overview.
        Expectation{{"init", "--help"}, 0, "quillet init --db demo.db --demo"},
        Expectation{{"rpc", "--help"}, 0, "quillet rpc --db erp.db"},
        Expectation{{"classes", "--help"}, 0, "quillet classes 0102 --json"},
        Expectation{{"help", "--man"}, 0, ".SS \"quillet mapping set SOURCE VALUE CODE\""},
        Expectation{{"rule", "lst"}, 2, "unknown command 'lst'; did you mean 'list'?"},
        Expectation{{"rule", "--db", "x.db"}, 2, "needs one of the commands list, show"},
        Expectation{{"help", "rule", "lst"}, 2, "no command 'lst' in 'quillet rule'"},
        Expectation{{"issue", "X", "--dbb", "x"}, 2, "did you mean '--db'?"},
        Expectation{{"call", "getSNumbr"}, 2, "did you mean 'getSNumber'?"},
        Expectation{{"mapping", "list", "warehose"}, 2, "did you mean 'warehouse'?"},
        Expectation{{"issue", "X", "--set", "lott=1"}, 2, "did you mean 'lot'?"},
        Expectation{{"rule", "save", "all", "--name", "G", "departmnt=1,width=2"},
                    2,
                    "did you mean 'department'?"},
        Expectation{{"rule", "list", "--db", "mysql:erp"}, 2, "unknown kind of database 'mysql'"},
        Expectation{{"init", "--db", "postgres:dbname=x"}, 2, "did you mean 'postgresql'?"},
        Expectation{{"call", "init"}, 2, "unknown kind of database", {"QUILLET_DB=mysql:erp"}}));

// Every command that opens a database takes --locale (and --db).
TEST(ToolOptions, EveryDatabaseCommandTakesLocale) {
  for (const char* command :
       {"demo", "issue", "preview", "rule list", "rule show", "rule save", "rule delete",
        "mapping list", "mapping set", "mapping reset", "number get", "number set", "classes",
        "items", "init", "call", "rpc"}) {
    Args args;
    std::istringstream words(command);
    for (std::string word; words >> word;) args.push_back(word);
    args.push_back("--help");
    const ToolRun run = RunTool(args);
    EXPECT_NE(run.out.find("--locale"), std::string::npos) << command;
    EXPECT_NE(run.out.find("--db"), std::string::npos) << command;
  }
}

TEST(ToolOptions, CallHelpListsEveryMethod) {
  const std::string help = RunTool({"call", "--help"}).out;
  for (const std::string& method : apps::MethodNames()) {
    EXPECT_NE(help.find("  " + method + " "), std::string::npos) << method;
  }
  EXPECT_NE(help.find("getSNbatch -> document  cinvcode text in/out, DomValue document in/out"),
            std::string::npos)
      << help;
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
