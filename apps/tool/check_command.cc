// quillet check: what a database needs before it is put to work.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "apps/tool/commands.h"
#include "apps/tool/text_table.h"
#include "quillet/numbering.h"

namespace quillet::tool {
namespace {

struct CheckOptions {
  std::string db;
  std::string locale;
  bool json = false;
};

std::string SeverityWord(CheckFinding::Severity severity) {
  switch (severity) {
    case CheckFinding::Severity::kWarning:
      return "warning";
    case CheckFinding::Severity::kProblem:
      return "problem";
    default:
      return "ok";
  }
}

void PrintJson(const DeploymentCheck& check) {
  nlohmann::json findings = nlohmann::json::array();
  for (const CheckFinding& finding : check.findings) {
    findings.push_back({{"topic", finding.topic},
                        {"status", SeverityWord(finding.severity)},
                        {"text", finding.text}});
  }
  std::cout << nlohmann::json{{"passed", check.Passed()}, {"findings", findings}}.dump() << "\n";
}

void PrintTable(const DeploymentCheck& check) {
  TextTable table({"TOPIC", "STATUS", "FINDING"});
  for (const CheckFinding& finding : check.findings) {
    table.AddRow({finding.topic, SeverityWord(finding.severity), finding.text});
  }
  table.Print(std::cout);
  std::cout << (check.Passed() ? "Nothing to change.\n" : "Something to change: see above.\n");
}

int RunCheck(const CheckOptions& options) {
  const DeploymentCheck check = Numbering::Check(options.db);
  if (options.json) {
    PrintJson(check);
  } else {
    PrintTable(check);
  }
  return check.Passed() ? kExitOk : kExitRaised;
}

}  // namespace

Command AddCheckCommand(CLI::App& tool) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* command = tool.add_subcommand(
      "check", "look at a database as a deployment needs it (exit 1 when something is wrong)");
  cli::AddDatabaseOption(*command, options->db);
  cli::AddLocaleOption(*command, options->locale);
  command->add_flag("--json", options->json, "one JSON object: passed and the findings");
  command->footer(
      "Looks, changing nothing, at: the tables and indexes Quillet creates; rule names\n"
      "carried by two owners; on PostgreSQL synchronous_commit and the standbys (an\n"
      "asynchronous standby can issue committed serial numbers again after a failover),\n"
      "a transaction pooler in between, the server's time zone; the locales the data\n"
      "sources are described in, and rules reading a data source a locale lacks.\n"
      "Exit status 0 when every finding is ok, 1 for a warning or a problem.\n"
      "\n"
      "Examples:\n"
      "  quillet check --db erp.db\n"
      "  quillet check --db 'postgresql:host=db1,db2 target_session_attrs=read-write' --json");
  return {command, [options] { return RunReported("check", [&] { return RunCheck(*options); }); }};
}

}  // namespace quillet::tool
