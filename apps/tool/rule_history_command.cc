#include "apps/tool/rule_history_command.h"

#include <iostream>
#include <nlohmann/json.hpp>
#include <vector>

#include "apps/cli/options.h"
#include "apps/cli/tool_error.h"
#include "apps/cli/trail_json.h"
#include "apps/tool/text_table.h"

namespace quillet::tool {
namespace {

using nlohmann::json;

json Parsed(const std::string& text) {
  if (text.empty()) return json::object();
  json form = json::parse(text, nullptr, false);
  return form.is_object() ? form : json::object();
}

std::string Words(const json& rule) {
  std::string words;
  for (const json& word : rule.value("segments", json::array())) {
    words += (words.empty() ? "" : " ") + word.get<std::string>();
  }
  return words;
}

std::string Numbers(const json& rule) {
  std::string text = rule.value("next_number", "");
  const json counters = rule.value("counters", json::object());
  for (const auto& [key, number] : counters.items()) {
    text += " " + key + ":" + number.dump();
  }
  return text.empty() ? "(none)" : text;
}

// What one change did, in a line.
std::string Summary(const HistoryEntry& entry) {
  const json before = Parsed(entry.before);
  const json after = Parsed(entry.after);
  if (entry.kind == "code") {
    return after.value("archive", "") + " " + after.value("value", "") + ": " +
           before.value("code", "") + " -> " + after.value("code", "");
  }
  if (entry.kind == "reset") return before.value("archive", "") + ": every mapping deleted";
  if (entry.kind == "number") return "next number " + Numbers(before) + " -> " + Numbers(after);
  if (entry.kind == "delete") return "deleted: " + Words(before);
  if (before.empty()) return "created: " + Words(after);
  if (Words(before) == Words(after)) return "segments kept: " + Words(after);
  return Words(before) + " -> " + Words(after);
}

}  // namespace

int RunRuleHistory(const cli::DomainOptions& domain, const std::string& owner,
                   const std::optional<std::string>& since) {
  HistoryQuery query;
  if (!owner.empty()) query.owner = ParseOwner(owner);
  query.since = since.value_or("");
  Numbering numbering = cli::OpenNumbering(domain);
  std::vector<HistoryEntry> entries;
  try {
    entries = numbering.History(query);
  } catch (const Failure& missing) {
    if (missing.kind() != FailureKind::kNotFound) throw;
    throw cli::ToolFailure(missing.description() + " with 'quillet init --db " + domain.db + "'");
  }
  if (domain.json) {
    std::cout << cli::HistoryJson(entries).dump() << '\n';
    return cli::kExitOk;
  }
  if (entries.empty()) {
    std::cout << "No changes recorded yet.\n";
    return cli::kExitOk;
  }
  TextTable table({"CHANGED", "USER", "OWNER", "KIND", "CHANGE"});
  for (const HistoryEntry& entry : entries) {
    table.AddRow({entry.changed, entry.user, entry.owner ? FormatOwner(*entry.owner) : "",
                  entry.kind, Summary(entry)});
  }
  table.Print(std::cout);
  return cli::kExitOk;
}

}  // namespace quillet::tool
