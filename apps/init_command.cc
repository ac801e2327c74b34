// quillet init: creates the tables the component reads and writes.
#include <memory>
#include <string>

#include "apps/commands.h"
#include "quillet/error.h"
#include "store/connection.h"
#include "apps/demo_rows.h"
#include "store/schema.h"

namespace quillet::apps {
namespace {

struct InitOptions {
  std::string db;
  bool demo = false;
};

int RunInit(const InitOptions& options) {
  try {
    store::Connection db;
    db.Open(options.db);
    store::CreateSchema(db);
    if (options.demo) store::LoadDemo(db);
    return kExitOk;
  } catch (const Error& error) {
    ReportProblem("init", error.description() + " (error " + std::to_string(error.number()) + ")");
    return kExitRaised;
  }
}

}  // namespace

Command AddInitCommand(CLI::App& tool) {
  auto options = std::make_shared<InitOptions>();
  CLI::App* command = tool.add_subcommand(
      "init", "create every table the component reads or writes (existing ones are kept)");
  AddDatabaseOption(*command, options->db);
  command->add_flag("--demo", options->demo, "also load a small demo company");
  return {command, [options] { return RunInit(*options); }};
}

}  // namespace quillet::apps
