// quillet rule export [OWNER...] [--with-numbers] [--with-codes] and
// quillet rule import FILE [--dry-run] [--force]: rules as a file.
#ifndef QUILLET_APPS_TOOL_RULE_FILE_COMMAND_H_
#define QUILLET_APPS_TOOL_RULE_FILE_COMMAND_H_

#include <string>
#include <vector>

#include "apps/cli/domain_options.h"
#include "quillet/numbering.h"

namespace quillet::tool {

// Writes the rule file of `owners` (every rule without any) to `output`
// ("" or "-" for standard output). Returns the exit status.
int RunRuleExport(const cli::DomainOptions& domain, const std::vector<std::string>& owners,
                  bool with_numbers, bool with_codes, const std::string& output);

// Prints the difference the file `path` ("-" for standard input) makes, then
// applies it unless `dry_run`. Returns the exit status.
int RunRuleImport(const cli::DomainOptions& domain, const std::string& path, bool dry_run,
                  bool force);

// The difference as the tool prints it: one block per owner, its lines
// indented below, then the codes. Pure.
std::string ImportDiffText(const ImportResult& result);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_RULE_FILE_COMMAND_H_
