// What the tool tells people: its version, each command's help with its own
// examples, the nearest word for an unknown one, exit status 2 for every
// command line it cannot use, and database errors in the database's words.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/apps/tool_runner.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

using testing::RunTool;
using testing::TempSqliteFile;
using testing::ToolRun;

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
