// quillet init: creates the tables Quillet reads and writes.
#include <memory>
#include <string>

#include "apps/tool/commands.h"
#include "quillet/numbering.h"

namespace quillet::tool {
namespace {

struct InitOptions {
  std::string db;
  std::string locale;
  bool demo = false;
};

int RunInit(const InitOptions& options) {
  Numbering::CreateTables(options.db);
  if (options.demo) Numbering::LoadDemoCompany(options.db, Numbering::DemoContent::kRows);
  return kExitOk;
}

}  // namespace

Command AddInitCommand(CLI::App& tool) {
  auto options = std::make_shared<InitOptions>();
  CLI::App* command = tool.add_subcommand(
      "init", "create every table the component reads or writes (existing ones are kept)");
  cli::AddDatabaseOption(*command, options->db);
  // Taken like everywhere else; init itself prints no localized text.
  cli::AddLocaleOption(*command, options->locale);
  command->add_flag("--demo", options->demo, "also load a small demo company");
  command->footer(
      "Creates the tables in an existing PostgreSQL database, or creates the SQLite file;\n"
      "tables that exist are left as they are. With --demo the made-up demo company is\n"
      "added too: classes, items, departments, data sources and a few rules.\n"
      "\n"
      "Examples:\n"
      "  quillet init --db erp.db\n"
      "  quillet init --db 'postgresql:host=/var/run/postgresql dbname=erp'\n"
      "  quillet init --db demo.db --demo");
  return {command, [options] { return RunReported("init", [&] { return RunInit(*options); }); }};
}

}  // namespace quillet::tool
