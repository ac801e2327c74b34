// The domain commands of the tool end to end: rules written in the segment
// notation and read back, serial numbers issued, and one plain line with the
// right exit status for every kind of failure.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "store/connection.h"
#include "tests/apps/tool_runner.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

using nlohmann::json;
using testing::RunTool;
using testing::TempSqliteFile;
using testing::TestDatabase;
using testing::ToolRun;
using testing::WithDb;
using testing::Words;

constexpr const char* kDate = "2024-05-06";

// A failure: nothing on stdout, one line on stderr naming the tool.
void ExpectOneLineFailure(const ToolRun& run, int status, const std::string& fragment) {
  EXPECT_EQ(run.exit_status, status) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(run.err.starts_with("quillet")) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  EXPECT_NE(run.err.find(fragment), std::string::npos) << run.err;
}

json JsonOf(const ToolRun& run) {
  EXPECT_EQ(run.exit_status, 0) << run.err;
  return json::parse(run.out);
}

class DomainCommandTest : public ::testing::TestWithParam<std::string> {
 protected:
  ToolRun Run(const std::vector<std::string>& args) {
    return RunTool(WithDb(args, db.connection_string()));
  }
  ToolRun Run(const std::string& line) { return Run(Words(line)); }

  TestDatabase db{GetParam(), /*with_demo=*/true};
};

// Every kind of data source, with escapes, saved through the tool: `rule show`
// prints the words `rule save` took, and saving what it printed changes
// nothing.
TEST_P(DomainCommandTest, RuleShowPrintsWhatRuleSaveTakes) {
  const std::vector<std::string> words =
      Words(R"(text=FL\, date=YYMMDD lot,width=3,fill=* department=1,width=2,pad=0,fill=X )"
            "workcenter,width=4 warehouse,width=3 clerk,width=4 supplier,width=4 class=1,width=2 "
            "item,width=9 free1,width=2 free10,width=1,pad=# number,width=4,step=2,start=7");
  std::vector<std::string> save = {"rule", "save", "class:0102", "--name", "Floor lamps"};
  save.insert(save.end(), words.begin(), words.end());
  const ToolRun saved = Run(save);
  ASSERT_EQ(saved.exit_status, 0) << saved.err;

  const json shown = JsonOf(Run("rule show class:0102 --json"));
  std::vector<std::string> notations;
  for (const json& segment : shown.at("segments")) notations.push_back(segment.at("notation"));
  EXPECT_EQ(notations, words);
  EXPECT_EQ(shown.at("name"), "Floor lamps");
  EXPECT_EQ(shown.at("next_number"), "7");

  ASSERT_EQ(Run(save).exit_status, 0);
  EXPECT_EQ(JsonOf(Run("rule show class:0102 --json")), shown);

  // The free items' values share one archive table, told apart by cid.
  const std::string free = Run("mapping list free1").out;
  for (const char* value : {"RD", "BL", "WH"}) EXPECT_NE(free.find(value), std::string::npos);
}

TEST_P(DomainCommandTest, IssueSavesOnlyWhenAskedAndPreviewNamesTheRule) {
  const std::vector<std::string> issue =
      Words("issue LW-FL-300 --date 2024-05-06 --set department=0101");
  EXPECT_EQ(Run(issue).out, "LW01202405060001\n");
  EXPECT_EQ(Run(issue).out, "LW01202405060001\n");  // nothing was used up

  std::vector<std::string> batch = issue;
  batch.insert(batch.end(), {"--count", "2", "--save", "--json"});
  const json issued = JsonOf(Run(batch));
  EXPECT_EQ(issued.at("serial_numbers"), json({"LW01202405060001", "LW01202405060002"}));
  EXPECT_EQ(issued.at("saved"), true);
  EXPECT_EQ(Run("number get class:01").out, "next running number of class:01: 3\n");

  std::vector<std::string> preview = issue;
  preview[0] = "preview";
  preview.push_back("--json");
  const json parts = JsonOf(Run(preview));
  EXPECT_EQ(parts.at("owner"), "class:01");
  EXPECT_EQ(parts.at("checked"),
            json({"item:LW-FL-300", "class:0102001", "class:0102", "class:01"}));
  EXPECT_EQ(parts.at("serial_number"), "LW01202405060003");
}

TEST_P(DomainCommandTest, MappingsAndRunningNumbersChangeTheSerialNumber) {
  EXPECT_EQ(Run("mapping set department 03 SL").exit_status, 0);
  EXPECT_EQ(Run("number set class:01 41").out, "next running number of class:01: 41 (was 1)\n");
  const std::string issue = "issue LW-KIT-01 --date 2024-05-06 --set department=03";
  EXPECT_EQ(Run(issue).out, "LWSL202405060041\n");
  const std::string listed = JsonOf(Run("mapping list department --json")).dump();
  EXPECT_NE(listed.find(R"({"code":"SL","name":"销售部","set_by_user":true,"value":"03"})"),
            std::string::npos)
      << listed;
  EXPECT_EQ(Run("mapping reset department").exit_status, 0);
  EXPECT_EQ(Run(issue).out, "LW03202405060041\n");
}

TEST_P(DomainCommandTest, DemoRunsAgainFromTheNumbersItLeft) {
  const TestDatabase empty(GetParam(), /*with_demo=*/false);
  const ToolRun first = RunTool(WithDb({"demo", "--date", kDate}, empty.connection_string()));
  const ToolRun second = RunTool(WithDb({"demo", "--date", kDate}, empty.connection_string()));
  ASSERT_EQ(first.exit_status, 0) << first.err;
  ASSERT_EQ(second.exit_status, 0) << second.err;
  EXPECT_NE(first.out.find("AST-240506-0001"), std::string::npos) << first.out;
  EXPECT_NE(second.out.find("AST-240506-0002"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("SN-20240506-00008"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("(reused)"), std::string::npos);
}

TEST_P(DomainCommandTest, ClassesAndItemsShowWhatARuleCanBeGiven) {
  const json classes = JsonOf(Run("classes --json"));
  ASSERT_EQ(classes.size(), 10u) << classes.dump();
  EXPECT_EQ(classes[0], json::parse(R"({"code":"01","name":"照明成品","level":1,
                                        "serial_items":1,"rule":"Lighting"})"));

  const json items = JsonOf(Run("items 0102 --json"));
  EXPECT_EQ(items, json::parse(R"([
      {"code":"LW-FL-310","name":"鹭影灯座","class":"0102","rule_owner":"class:01","rule":"Lighting"},
      {"code":"LW-FL-300","name":"鹭影弧形落地灯","class":"0102001","rule_owner":"class:01",
       "rule":"Lighting"}])"));
  ExpectOneLineFailure(Run("items 019"), 1, "no inventory class 019; did you mean '01'?");
}

// A rule with policies through the tool: its words come back from `rule
// show`, a call by name carries the warning, the end and a repeat are
// refused, and the journal lists what was issued.
TEST_P(DomainCommandTest, PoliciesFromSaveToJournal) {
  const std::string number =
      "number,width=2,step=1,start=98,restart=year,end=99,warn=99,unique=yes";
  ASSERT_EQ(
      Run({"rule", "save", "class:0102", "--name", "Floor lamps", "text=FL-", number}).exit_status,
      0);
  EXPECT_EQ(JsonOf(Run("rule show class:0102 --json")).at("segments")[1].at("notation"), number);
  const auto issued = [&](const std::string& date) {
    return Run("issue LW-FL-310 --save --date " + date);
  };
  EXPECT_EQ(issued(kDate).out, "FL-98\n");
  const std::string line =
      "<data><row name='vchdate' value='2024-05-06' itype='0' bHave='true'/>"
      "<row name='cinvcode' value='LW-FL-310'/></data>";
  const json called =
      JsonOf(Run({"call", "getSNumber", "--args", json{{"DomValue", line}}.dump()}));
  EXPECT_EQ(called.at("result"), "FL-99");
  EXPECT_EQ(called.at("warnings").size(), 1u) << called.dump();
  EXPECT_EQ(issued(kDate).out, "FL-99\n");  // its warning on stderr: a README example
  ExpectOneLineFailure(issued(kDate), 1, "would pass its last running number 99");
  ExpectOneLineFailure(issued("2025-01-01"), 1, "serial number FL-98 was issued before, at 20");

  const json journal = JsonOf(Run("journal --owner class:0102 --json"));
  ASSERT_EQ(journal.size(), 2u) << journal.dump();
  EXPECT_EQ(journal[1].at("serial_number"), "FL-99");
  EXPECT_EQ(journal[1].at("running_number"), 99);
  EXPECT_EQ(journal[1].at("item"), "LW-FL-310");
  EXPECT_EQ(journal[1].at("document_date"), kDate);
  EXPECT_EQ(JsonOf(Run("journal --since 2999-01-01 --json")), json::array());
}

// What the guards refuse is saved with --force.
TEST_P(DomainCommandTest, ForceSavesWhatTheGuardsRefuse) {
  for (const std::string force : {"", " --force"}) {
    EXPECT_EQ(Run("rule save item:LW-DL-100 --name Aster text=A" + force).exit_status,
              force.empty() ? 1 : 0);
    EXPECT_EQ(Run("number set class:01 0" + force).exit_status, force.empty() ? 1 : 0);
  }
  EXPECT_EQ(Run("number get class:01").out, "next running number of class:01: 0\n");
  ASSERT_EQ(Run("mapping set department 03 SL").exit_status, 0);
  const ToolRun shared = Run("mapping set department 02 SL");
  EXPECT_EQ(shared.exit_status, 0);
  EXPECT_NE(shared.err.find("warning: department 03 is written SL too"), std::string::npos)
      << shared.err;
}

// Locales as people write them; one the data sources are not described in
// is refused before the demo writes anything, and a demo that fails halfway
// leaves the database as it was.
TEST_P(DomainCommandTest, LocalesAndAWholeOrNoDemo) {
  EXPECT_NE(Run("mapping list department --locale en").out.find("(Department)"), std::string::npos);
  const TestDatabase empty(GetParam(), /*with_demo=*/false);
  const auto demo = [&](const std::string& locale) {
    return RunTool(
        WithDb(Words("demo --date 2024-05-06 --locale " + locale), empty.connection_string()));
  };
  store::Connection direct;
  direct.Open(empty.connection_string());
  const auto rows = [&](const char* table) {
    return direct.Query(store::Sql{std::string("select * from ") + table})->RecordCount();
  };
  ExpectOneLineFailure(demo("fr"), 1, "describes its data sources in zh-CN and en-US, not 'fr'");
  EXPECT_EQ(rows("inventory"), 0);
  // A code the database refuses, after the company and the rules are written.
  direct.Execute(store::Sql{
      "create trigger refuse_codes before insert on SNContrapose begin select raise(abort, "
      "'refused'); end",
      "create function refuse_codes() returns trigger language plpgsql as $$ begin raise "
      "exception 'refused'; end $$"});
  if (direct.dialect() == store::Dialect::kPostgresql) {
    direct.Execute(
        store::Sql{"create trigger refuse_codes before insert on SNContrapose for each row "
                   "execute function refuse_codes()"});
  }
  EXPECT_EQ(demo("EN-us").exit_status, 1);
  EXPECT_EQ(rows("inventory"), 0);
  EXPECT_EQ(rows("SNrulemain"), 0);
  direct.Execute(
      store::Sql{"drop trigger refuse_codes", "drop trigger refuse_codes on SNContrapose"});
  const ToolRun english = demo("EN-us");
  EXPECT_EQ(english.exit_status, 0) << english.err;
  EXPECT_EQ(Run("rule list --locale fr-FR").err,
            "quillet: the database describes no data sources for locale 'fr-FR' (it describes "
            "en-US, zh-CN): choose one of those with --locale or QUILLET_LOCALE\n");
}

INSTANTIATE_TEST_SUITE_P(Backends, DomainCommandTest, ::testing::ValuesIn(testing::Backends()));

// Every refusal is one line on stderr with its exit status (the cases share
// one database: each is refused before it writes).
TEST(DomainFailure, OneLineWithTheExitStatus) {
  const std::vector<testing::FailureCase> cases = {
      {"rule show item:NOPE", 1, "there is no item NOPE in the inventory"},
      {"rule show class:99", 1, "there is no inventory class 99"},
      {"rule show shelf:1", 2, "'shelf:1' names no kind of owner"},
      {"rule save item:NOPE --name N text=A", 1, "there is no item NOPE"},
      {"rule save all --name G text=A\\u{20} number,width=2", 2, "starts or ends with a blank"},
      {"rule save all --name Lighting text=A", 1,
       "the name \"Lighting\" belongs to the rule of class:01"},
      {"rule save all text=A", 2, "--name is required"},
      {"rule save all --name G text=A number,width=0", 2,
       "error 1205: segment 2 'number,width=0': number width 0 is outside 1 to 255"},
      {"rule save all --name G item,width=2147483647", 2, "error 1205: segment 1"},
      {"rule save all --name G text=\\u{0}", 2, "error 1207"},
      {"rule show item:NO\nPE", 1, "there is no item NO\\nPE"},
      {"issue LW-DL-100 --set lot=\xFF", 2, "error 1207: word 4"},
      {"rule delete class:0102", 1, "class:0102 has no rule of its own"},
      {"rule", 2, "needs one of the commands list, show, save, delete"},
      {"issue NOPE --date 2024-05-06", 1, "there is no item NOPE"},
      {"issue LW-DL-100 --set colour=red", 2, "--set colour"},
      {"issue LW-DL-100 --set class=01", 2, "class is not a value of the document line"},
      {"issue LW-DL-100 --set lot=1 --set LOT=2", 2, "lot is given twice"},
      {"issue LW-DL-100 --date 06/05/2024", 2,
       "date '06/05/2024' is not a calendar date written YYYY-MM-DD"},
      {"issue LW-DL-100 --date 2026-02-30", 2, "date '2026-02-30' is not a calendar date"},
      {"journal --since garbage", 2, "since 'garbage' is not a UTC time"},
      {"issue LW-DL-100 --count 0", 2, "--count"},
      {"issue LW-DL-100 --frobnicate", 2, "--frobnicate"},
      {"preview NOPE", 1, "there is no item NOPE"},
      {"number get class:0102", 1, "class:0102 has no rule of its own"},
      {"number set all 1e3", 2, "N '1e3' is not a whole number"},
      {"mapping list date", 2, "date has no mappings"},
      {"mapping list warehouse", 1, "no rule uses warehouse yet"},
      {"mapping set department 99 X", 1, "department has no value 99"},
      {"rule save all --name G text=A", 1, "the rule has no running number (number,width=N)"},
      {"rule save all --name G number,width=4,step=0", 1,
       "with step 0 a single issue still goes up by 1"},
      {"rule save all --name G number,width=2,start=100", 1,
       "the start number 100 takes 3 digits and the width is 2"},
      {"mapping set department 03 SALES", 1, "the code 'SALES' is wider than the width 2"},
      {"journal --owner shelf:1", 2, "'shelf:1' names no kind of owner"},
      {"shelve", 2, "unknown command 'shelve'"}};
  TestDatabase db("sqlite", /*with_demo=*/true);
  for (const testing::FailureCase& c : cases) {
    SCOPED_TRACE(c.line);
    ExpectOneLineFailure(RunTool(WithDb(Words(c.line), db.connection_string())), c.exit_status,
                         c.fragment);
  }
}

// The domain commands never create a database: a missing SQLite file, or one
// without the tables, gets one line saying what creates it.
TEST(DomainDatabase, MissingOrEmptyDatabaseIsNamedAndNotCreated) {
  TempSqliteFile missing;
  TempSqliteFile empty;
  store::Connection(/*creates the file*/).Open(empty.connection_string());
  for (const char* command : {"issue LW-DL-100", "preview LW-DL-100", "rule list", "rule show all",
                              "rule save all --name G text=A", "rule delete all",
                              "mapping list department", "mapping set department 01 X",
                              "mapping reset department", "number get all", "number set all 1"}) {
    const std::vector<std::string> args = Words(command);
    ExpectOneLineFailure(RunTool(WithDb(args, missing.connection_string())), 1,
                         "no database file " + missing.path() + ": create it with 'quillet demo");
    ExpectOneLineFailure(RunTool(WithDb(args, empty.connection_string())), 1,
                         "has no readable table SNrulemain");
  }
  EXPECT_FALSE(std::filesystem::exists(missing.path()));
}

// A database this process cannot write: it is read all the same, and saving
// names the database's refusal rather than the rule.
TEST(DomainDatabase, ReadOnlyFileOrFolderIsReadAndRefusalsNamed) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("quillet_ro_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string path = (folder / "demo.db").string();
  ASSERT_EQ(RunTool({"init", "--demo", "--db", "sqlite:" + path}).exit_status, 0);
  const std::vector<std::string> save = {"issue",  "LW-DL-100", "--date",        kDate,
                                         "--save", "--db",      "sqlite:" + path};
  const std::vector<std::string> list = {"rule", "list", "--db", "sqlite:" + path};
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  fs::permissions(folder, fs::perms::all);
  ExpectOneLineFailure(testing::RunToolUnprivileged(save), 1, "readonly database");
  for (const char* side : {"-wal", "-shm"}) fs::remove(path + side);
  fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
  const ToolRun listed = testing::RunToolUnprivileged(list);
  EXPECT_EQ(listed.exit_status, 0) << listed.err;
  EXPECT_NE(listed.out.find("Lighting"), std::string::npos) << listed.out;
  ExpectOneLineFailure(testing::RunToolUnprivileged(save), 1, "readonly database");

  fs::permissions(folder, fs::perms::all);
  fs::remove_all(folder);
}

TEST(DomainDatabase, DemoLeavesAnotherCompanysDatabaseAlone) {
  TestDatabase db("sqlite", /*with_demo=*/false);
  db.db().Execute(store::Sql{"insert into inventoryclass (cInvCCode, iInvCGrade) values ('9', 1)"});
  ExpectOneLineFailure(RunTool(WithDb({"demo"}, db.connection_string())), 1,
                       "holds another company's data");
}

}  // namespace
}  // namespace quillet
