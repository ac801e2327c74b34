#include "apps/tool/rule_file_command.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>

#include "apps/cli/options.h"
#include "apps/cli/tool_error.h"
#include "apps/cli/trail_json.h"

namespace quillet::tool {
namespace {

std::string ReadAll(const std::string& path) {
  if (path == "-") {
    return {std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw cli::ToolFailure("cannot read the rule file " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* Mark(const std::string& change) {
  if (change == "added") return "+";
  if (change == "removed") return "-";
  if (change == "changed") return "~";
  return "=";
}

std::string Tally(const ImportResult& result) {
  std::map<std::string, int> counts;
  for (const RuleFileChange& rule : result.rules) ++counts[rule.change];
  std::string text;
  for (const char* change : {"added", "changed", "removed", "unchanged"}) {
    if (counts[change] == 0) continue;
    text += (text.empty() ? "" : ", ") + std::to_string(counts[change]) + " " + change;
  }
  if (!result.codes.empty()) {
    text += (text.empty() ? "" : ", ") + std::to_string(result.codes.size()) + " codes set";
  }
  return text.empty() ? "no rules" : text;
}

}  // namespace

std::string ImportDiffText(const ImportResult& result) {
  std::ostringstream out;
  for (const RuleFileChange& rule : result.rules) {
    out << Mark(rule.change) << ' ' << FormatOwner(rule.owner) << " \"" << rule.name << "\" ("
        << rule.change << ")\n";
    if (rule.change == "unchanged") continue;
    for (const std::string& line : rule.lines) out << "    " << line << '\n';
  }
  if (!result.codes.empty()) out << "codes:\n";
  for (const std::string& line : result.codes) out << "    " << line << '\n';
  return out.str();
}

int RunRuleExport(const cli::DomainOptions& domain, const std::vector<std::string>& owners,
                  bool with_numbers, bool with_codes, const std::string& output) {
  ExportRequest request{{}, with_numbers, with_codes};
  for (const std::string& owner : owners) request.owners.push_back(ParseOwner(owner));
  Numbering numbering = cli::OpenNumbering(domain);
  const std::string file = numbering.ExportRules(request);
  if (output.empty() || output == "-") {
    std::cout << file << std::flush;
    return cli::kExitOk;
  }
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out << file;
  out.close();
  if (!out) throw cli::ToolFailure("cannot write the rule file " + output);
  return cli::kExitOk;
}

int RunRuleImport(const cli::DomainOptions& domain, const std::string& path, bool dry_run,
                  bool force) {
  const std::string file = ReadAll(path);
  Numbering numbering = cli::OpenNumbering(domain);
  ImportResult result;
  try {
    result = numbering.ImportRules({file, dry_run, force});
  } catch (const Failure& refusal) {
    if (refusal.kind() == FailureKind::kGuarded) {
      cli::RaiseGuarded(refusal, "set the running numbers back");
    }
    throw;
  }
  if (domain.json) {
    std::cout << cli::ImportJson(result).dump() << '\n';
    return cli::kExitOk;
  }
  std::cout << ImportDiffText(result);
  if (dry_run) {
    std::cout << "Dry run, nothing changed: " << Tally(result) << ".\n";
  } else if (result.applied) {
    std::cout << "Imported: " << Tally(result) << ".\n";
  } else {
    std::cout << "Nothing to change: the database holds the file's rules.\n";
  }
  return cli::kExitOk;
}

}  // namespace quillet::tool
