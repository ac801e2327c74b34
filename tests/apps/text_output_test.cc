// What the tool prints for people: columns aligned on a terminal where a
// Chinese character takes two columns, words a shell reads back unchanged,
// segments explained in plain words; and the bash completion as a shell runs
// it (the script sourced in bash, its function called for a command line, the
// words it offers).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "apps/tool/segment_explanation.h"
#include "apps/tool/shell_words.h"
#include "apps/tool/text_table.h"
#include "tests/apps/tool_runner.h"

namespace quillet::tool {
namespace {

TEST(DisplayWidth, CountsWideCharactersTwice) {
  EXPECT_EQ(DisplayWidth(""), 0u);
  EXPECT_EQ(DisplayWidth("LW-DL-100"), 9u);
  EXPECT_EQ(DisplayWidth("星野台灯"), 8u);
  EXPECT_EQ(DisplayWidth("12W 恒流驱动"), 12u);
  EXPECT_EQ(DisplayWidth("（可调光）"), 10u);  // full-width brackets
  EXPECT_EQ(DisplayWidth("é→"), 2u);           // narrow beyond ASCII
  EXPECT_EQ(DisplayWidth("\xE6\x98"), 2u);     // a cut sequence counts per byte
  EXPECT_EQ(DisplayWidth(std::string("\xFF") + "a"), 2u);
}

TEST(TextTable, AlignsMixedScriptsWithoutTrailingBlanks) {
  TextTable table({"ITEM", "NAME", "CODE"}, "  ");
  table.AddRow({"LW-DL-100", "星野台灯", "A"});
  table.AddRow({"LW-CB-001", "电源线 2m", ""});
  table.AddRow({"X", "Lamp"});  // a missing cell is empty
  std::ostringstream out;
  table.Print(out);
  EXPECT_EQ(out.str(),
            "  ITEM       NAME       CODE\n"
            "  LW-DL-100  星野台灯   A\n"
            "  LW-CB-001  电源线 2m\n"
            "  X          Lamp\n");
}

// The shell itself reads each quoted word back.
std::string EchoedByShell(const std::string& word) {
  const std::string command = "printf '%s' " + ShellQuoted(word);
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string echoed;
  char buffer[256];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    echoed.append(buffer, n);
  ::pclose(pipe);
  return echoed;
}

TEST(ShellWords, TheShellReadsEveryWordBackUnchanged) {
  const std::vector<std::string> words = {"text=SN-",    "department=1,width=2,fill=*",
                                          "Floor lamps", "it's",
                                          "a\\,b",       "$HOME",
                                          "`date`",      "x;y|z&",
                                          "~user",       "星野台灯",
                                          "fill=?",      "tab\there",
                                          "\"quoted\"",  "back\\\\",
                                          "-n"};
  for (const std::string& word : words) EXPECT_EQ(EchoedByShell(word), word) << word;
  EXPECT_EQ(EchoedByShell(""), "");
}

// The explanation `rule show` prints beside each segment.
TEST(ExplainSegment, SaysWhatTheSegmentGives) {
  const std::pair<Segment, std::string> cases[] = {
      {{DataSource::kText, "SN-", 0, "", "", 0}, "the text SN-"},
      {{DataSource::kDate, "YYYYMMDD", 0, "", "", 0}, "date written YYYYMMDD"},
      {{DataSource::kDate, "YY", 0, "", "", 0}, "date as it stands"},
      {{DataSource::kDepartment, "1", 2, "0", "星", 0},
       "department cut to level 1, mapped or fitted to 2 characters; 星星 when empty"},
      {{DataSource::kWarehouse, "", 3, "#", "", 0},
       "warehouse, mapped or fitted to 3 characters (pad #); required"},
      {{DataSource::kItem, "", 9, "", "*", 0}, "item code, mapped or fitted to 9 characters"},
      {{DataSource::kFree3, "", 2, "", "", 0}, "free item 3, fitted to 2 characters; required"},
      {{DataSource::kLot, "", 0, "", "-", 0},
       "lot number, fitted to 0 characters; nothing when empty"},
      {{DataSource::kRunningNumber, "1", 4, "", "", 5},
       "running number in 4 digits, up 5 per serial number"},
      {{DataSource::kRunningNumber, "1", 4, "", "", 0},
       "running number in 4 digits, up 1 per serial number (a batch repeats it: step 0)"},
      {{static_cast<DataSource>(13), "", 0, "", "", 0}, "nothing (no data source has type 13)"}};
  for (const auto& [segment, words] : cases) EXPECT_EQ(ExplainSegment(segment), words);
}

// What _quillet puts in COMPREPLY for `quillet LINE`, one word a line.
std::vector<std::string> Offered(const std::string& line) {
  const std::filesystem::path script =
      std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "apps" / "tool" /
      "quillet-completion.bash";
  const std::string binary = std::getenv("QUILLET_BINARY");
  const std::string command_line = binary + " " + line;
  // In an empty directory, so that no file name is offered.
  const std::string program = "source " + ShellQuoted(script.string()) +
                              " && cd \"$(mktemp -d)\" && COMP_LINE=" + ShellQuoted(command_line) +
                              " && COMP_POINT=${#COMP_LINE} && _quillet"
                              " && printf '%s\\n' \"${COMPREPLY[@]}\" && rmdir \"$PWD\"";
  const testing::ToolRun run = testing::RunProgram({"bash", "-c", program});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  return run.Lines();
}

TEST(Completion, OffersTheWordsThatFit) {
  // After "quillet ", the cursor at the end of the line.
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"ru", {"rule"}},
      {"rule ", {"list", "show", "save", "delete", "history", "export", "import"}},
      {"rule list --l", {"--locale"}},
      {"rule show cl", {"class:"}},
      {"rule list --db po", {"postgresql:"}},
      {"rule save all --name G text=A dep", {"department="}},
      {"rule save all --name G num", {"number,width="}},
      {"issue LW-DL-100 --set war", {"warehouse="}},
      {"mapping list w", {"workcenter", "warehouse"}},
      {"call getSNb", {"getSNbatch"}},
      {"help number ", {"get", "set"}},
      {"rule lst ", {""}}};  // nothing: printf prints one empty line
  for (const auto& [line, offered] : cases) EXPECT_EQ(Offered(line), offered) << line;
}

}  // namespace
}  // namespace quillet::tool
