// Labels and serial numbers read back through the tool: the SVGs it writes,
// drawn by rsvg-convert, decode in a barcode reader to the serial numbers
// they carry; `verify` finds a serial's rule, checks its check characters
// and tells whether and when it was issued.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/apps/tool_runner.h"
#include "tests/support/backends.h"

namespace quillet {
namespace {

using nlohmann::json;
using testing::RunProgram;
using testing::RunTool;
using testing::TestDatabase;
using testing::ToolRun;
using testing::WithDb;
using testing::Words;

bool Have(const std::string& program) {
  return RunProgram({"/bin/sh", "-c", "command -v " + program}).exit_status == 0;
}

// What the barcode reader finds in the SVG at `path`, sorted: zbarimg for
// the linear and QR symbols, dmtxread for Data Matrix.
std::vector<std::string> Decoded(const std::string& path, const std::string& symbology) {
  const std::string png = path + ".png";
  const std::string reader = symbology == "datamatrix" ? "dmtxread -n -N 8 " : "zbarimg -q --raw ";
  const ToolRun run =
      RunProgram({"/bin/sh", "-c",
                  "rsvg-convert -z 3 -b white -o " + png + " " + path + " && " + reader + png});
  std::filesystem::remove(png);
  std::vector<std::string> lines = run.Lines();
  std::sort(lines.begin(), lines.end());
  return lines;
}

class LabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Have("rsvg-convert") || !Have("zbarimg") || !Have("dmtxread")) {
      GTEST_SKIP() << "needs rsvg-convert, zbarimg and dmtxread (scripts/setup.sh)";
    }
  }
  std::string Path(const std::string& name) const { return (folder / name).string(); }

  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("quillet-labels-" + std::to_string(::getpid()));
  void TearDown() override { std::filesystem::remove_all(folder); }
};

TEST_F(LabelTest, EveryLabelDecodesToItsSerialNumber) {
  std::filesystem::create_directories(folder);
  const struct {
    std::string symbology;
    std::vector<std::string> serials;  // sorted
  } kCases[] = {
      {"code128", {"AST-240506-000182", "LW01-2405-0001", "SN-20240506-00001"}},
      {"qr", {"FL-2405-000133", "LWSL-2405-0003", "星野-0001"}},
      {"datamatrix", {"LW01-2405-0001", "SN/20240506.00009"}},
  };
  for (const auto& [symbology, serials] : kCases) {
    SCOPED_TRACE(symbology);
    const std::string svg = Path(symbology + ".svg");
    std::vector<std::string> args = {"label", "--symbology", symbology, "--out", svg};
    args.insert(args.end(), serials.begin(), serials.end());
    const ToolRun run = RunTool(args);
    ASSERT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(Decoded(svg, symbology), serials);
  }
}

TEST_F(LabelTest, RefusalsWriteNothing) {
  std::filesystem::create_directories(folder);
  const struct {
    std::string line;
    int status;
    std::string fragment;
  } kCases[] = {
      {"label 星野-0001 --out " + Path("x.svg"), 2, "error 1211: serial number 星野-0001"},
      {"label A --symbology pdf417", 2, "unknown symbology 'pdf417'"},
      {"label " + std::string(300, 'A'), 2, "error 1206"},
  };
  for (const auto& [line, status, fragment] : kCases) {
    SCOPED_TRACE(line);
    const ToolRun run = RunTool(Words(line));
    EXPECT_EQ(run.exit_status, status);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(fragment), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("x.svg")));
}

class IssuedLabelTest : public ::testing::TestWithParam<std::string> {
 protected:
  ToolRun Run(const std::vector<std::string>& args) {
    return RunTool(WithDb(args, db.connection_string()));
  }
  ToolRun Run(const std::string& line) { return Run(Words(line)); }
  TestDatabase db{GetParam(), /*with_demo=*/true};
};

// Issued with --labels: the file holds a label of each serial number printed.
TEST_P(IssuedLabelTest, IssueWritesTheLabelsOfWhatItIssued) {
  if (!Have("rsvg-convert") || !Have("zbarimg")) GTEST_SKIP() << "needs rsvg-convert, zbarimg";
  const std::string svg = testing::TempPath("quillet_issue_labels_") + ".svg";
  const ToolRun run = Run("issue LW-DR-012 --date 2024-05-06 --count 3 --save --labels " + svg);
  ASSERT_EQ(run.exit_status, 0) << run.err;
  ASSERT_EQ(run.Lines().size(), 3u) << run.out;
  EXPECT_EQ(Decoded(svg, "code128"), run.Lines());
  std::filesystem::remove(svg);
}

// A rule with check characters that keeps a journal: what verify says of an
// issued serial number, of typos of it, of one not issued, and of others.
TEST_P(IssuedLabelTest, VerifyTellsRuleCheckAndIssue) {
  ASSERT_EQ(Run({"rule", "save", "class:0102", "--name", "Floor lamps", "text=FL-", "date=YYMM-",
                 "number,width=4,check=mod97,journal=yes"})
                .exit_status,
            0);
  const ToolRun issued = Run("issue LW-FL-310 --date 2024-05-06 --save");
  ASSERT_EQ(issued.out, "FL-2405-000133\n") << issued.err;

  const struct {
    std::string serial;
    int status;
    std::vector<std::string> owners;  // the rules it fits
    bool check_right;                 // by the first
    bool issued;                      // the first holds it in its journal
  } kCases[] = {
      {"FL-2405-000133", 0, {"class:0102"}, true, true},
      {"fl-2405-000133", 1, {"class:0102"}, true, false},   // fits in either case; journal as typed
      {"FL-2405-000134", 1, {"class:0102"}, false, false},  // wrong check
      {"FL-2405-001033", 1, {"class:0102"}, false, false},  // neighbours swapped
      {"FL-2405-000230", 1, {"class:0102"}, true, false},   // right, but not issued yet
      {"AST-20240506-0001", 0, {"item:LW-DL-100"}, true, false},  // no journal, no check
      {"LWSL202405060003", 0, {"class:01"}, true, false},         // a mapped department
      {"202405060009", 0, {"all"}, true, false},
      {"XX-1", 1, {}, true, false},
  };
  for (const auto& [serial, status, owners, check_right, was_issued] : kCases) {
    SCOPED_TRACE(serial);
    const ToolRun run = Run({"verify", serial, "--json"});
    EXPECT_EQ(run.exit_status, status) << run.out << run.err;
    const json verdict = json::parse(run.out);
    std::vector<std::string> fitted;
    for (const json& fit : verdict.at("fits")) fitted.push_back(fit.at("owner"));
    EXPECT_EQ(fitted, owners);
    if (owners.empty()) continue;
    const json& fit = verdict.at("fits")[0];
    EXPECT_EQ(fit.value("check_right", true), check_right);
    EXPECT_EQ(fit.contains("issued"), was_issued);
  }
  const json fit = json::parse(Run("verify FL-2405-000133 --json").out).at("fits")[0];
  EXPECT_EQ(fit.at("prefix"), "FL-2405-");
  EXPECT_EQ(fit.at("date_part"), "2405-");
  EXPECT_EQ(fit.at("date_pattern"), "YYMM-");
  EXPECT_EQ(fit.at("running_number"), "0001");
  EXPECT_EQ(fit.at("digits"), 4);
  EXPECT_EQ(fit.at("check"), "mod97");
  EXPECT_EQ(fit.at("issued").at("item"), "LW-FL-310");
  EXPECT_EQ(fit.at("issued").at("document_date"), "2024-05-06");

  const ToolRun text = Run("verify FL-2405-000230");
  EXPECT_EQ(text.exit_status, 1);
  EXPECT_NE(text.out.find("NEVER"), std::string::npos) << text.out;
}

INSTANTIATE_TEST_SUITE_P(Backends, IssuedLabelTest, ::testing::ValuesIn(testing::Backends()));

}  // namespace
}  // namespace quillet
