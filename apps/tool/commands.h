// The commands of the quillet tool, each in its own file.
#ifndef QUILLET_APPS_TOOL_COMMANDS_H_
#define QUILLET_APPS_TOOL_COMMANDS_H_

#include <CLI/CLI.hpp>
#include <memory>
#include <utility>
#include <vector>

#include "apps/cli/domain_options.h"
#include "apps/cli/options.h"
#include "apps/cli/tool_error.h"

namespace quillet::tool {

// The command-line floor's words, as every command uses them.
using cli::AddDatabaseOption;
using cli::AddDomainOptions;
using cli::AddLocaleOption;
using cli::AddSessionOptions;
using cli::Command;
using cli::DomainOptions;
using cli::kExitOk;
using cli::kExitRaised;
using cli::kExitUsage;
using cli::OneLine;
using cli::OpenNumbering;
using cli::RaiseGuarded;
using cli::ReportProblem;
using cli::RunReported;
using cli::SessionOptions;
using cli::ToolFailure;
using cli::ToolUsage;

// `quillet init [--db CONN] [--demo]`: creates the tables, loads the demo.
Command AddInitCommand(CLI::App& tool);
// `quillet check [--db CONN] [--json]`: what the database needs for a deployment.
Command AddCheckCommand(CLI::App& tool);
// `quillet call METHOD [--args JSON | --args-file PATH]`: one call by name.
Command AddCallCommand(CLI::App& tool);
// `quillet rpc`: calls by name, one request per line of stdin.
Command AddRpcCommand(CLI::App& tool);

// `quillet demo`: the demo company, its rules and serial numbers.
Command AddDemoCommand(CLI::App& tool);
// `quillet issue ITEM`: serial numbers for a document line.
Command AddIssueCommand(CLI::App& tool);
// `quillet preview ITEM`: the rule that applies and its parts.
Command AddPreviewCommand(CLI::App& tool);
// `quillet rule list | show | save | delete`.
Command AddRuleCommand(CLI::App& tool);
// `quillet mapping list | set | reset`.
Command AddMappingCommand(CLI::App& tool);
// `quillet number get | set`.
Command AddNumberCommand(CLI::App& tool);
// `quillet journal [--owner OWNER] [--since WHEN]`: issued serial numbers.
Command AddJournalCommand(CLI::App& tool);
// `quillet label SN... [--symbology NAME] [--out FILE]`: barcodes as SVG.
Command AddLabelCommand(CLI::App& tool);
// `quillet verify SERIAL`: the rule, check characters and issue of a serial.
Command AddVerifyCommand(CLI::App& tool);
// `quillet classes [CODE]`: the class tree with the classes' own rules.
Command AddClassesCommand(CLI::App& tool);
// `quillet items CLASS`: serial-managed items and the rule each follows.
Command AddItemsCommand(CLI::App& tool);

// `quillet help [COMMAND...] | --all`: the help texts; reads the commands of
// `tool`, which must outlive it.
Command AddHelpCommand(CLI::App& tool);

// A command made of sub-commands that share one set of options: the
// sub-command that was parsed runs its action, its failures reported under
// "PARENT SUB"; none parsed is a usage error.
template <class Options>
Command WithSubcommands(CLI::App* parent, std::shared_ptr<Options> options,
                        std::vector<std::pair<CLI::App*, int (*)(const Options&)>> actions) {
  return {parent, [parent, options, actions = std::move(actions)] {
            // Not a structured binding: clang 14 (clang-tidy) cannot capture one.
            for (const auto& entry : actions) {
              if (entry.first->parsed()) {
                const auto action = entry.second;
                return RunReported(parent->get_name() + " " + entry.first->get_name(),
                                   [&] { return action(*options); });
              }
            }
            return kExitUsage;
          }};
}

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_COMMANDS_H_
