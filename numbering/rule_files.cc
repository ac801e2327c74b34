#include "numbering/rule_files.h"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "core/number_text.h"
#include "core/segment_notation.h"
#include "maintenance/rule_entry.h"
#include "maintenance/rule_file.h"
#include "numbering/catalog.h"
#include "numbering/rule_records.h"
#include "numbering/rule_saving.h"
#include "numbering/segment_words.h"
#include "store/history_queries.h"

namespace quillet::numbering {
namespace {

using Json = nlohmann::ordered_json;

[[noreturn]] void RaiseBadFile(const std::string& where, const std::string& what) {
  throw Failure(FailureKind::kInvalidRequest, errc::kBadRuleFile,
                "the rule file's " + where + " " + what);
}

void RequireKeys(const Json& object, const std::string& where,
                 std::initializer_list<const char*> allowed) {
  if (!object.is_object()) RaiseBadFile(where, "is not an object");
  for (const auto& member : object.items()) {
    const std::string& key = member.key();
    if (std::none_of(allowed.begin(), allowed.end(), [&](const char* a) { return key == a; })) {
      RaiseBadFile(where, "has a member \"" + key + "\" that rule files do not have");
    }
  }
}

std::string TextMember(const Json& object, const std::string& where, const char* key,
                       bool required) {
  const auto found = object.find(key);
  if (found == object.end()) {
    if (required) RaiseBadFile(where, "lacks \"" + std::string(key) + "\"");
    return {};
  }
  if (!found->is_string()) RaiseBadFile(where + "." + key, "is not a text");
  return found->get<std::string>();
}

RuleOwner OwnerMember(const Json& value, const std::string& where) {
  if (!value.is_string()) RaiseBadFile(where, "is not an owner word");
  try {
    return ParseOwner(value.get<std::string>());
  } catch (const Failure& bad) {
    RaiseBadFile(where, "'" + value.get<std::string>() + "': " + bad.description());
  }
}

// One rule of the file, checked, with its segments in their canonical words.
struct FileRule {
  RuleOwner owner;
  std::string name;
  std::string owner_name;
  std::vector<Segment> segments;
  std::optional<std::string> next_number;
  std::vector<std::pair<std::string, int32_t>> counters;
};

std::vector<Segment> SegmentsOf(const Json& rule, const std::string& where) {
  const auto found = rule.find("segments");
  if (found == rule.end() || !found->is_array()) RaiseBadFile(where, "lacks its \"segments\" list");
  std::vector<Segment> segments;
  for (std::size_t i = 0; i < found->size(); ++i) {
    const std::string at = where + ".segments[" + std::to_string(i) + "]";
    if (!(*found)[i].is_string()) RaiseBadFile(at, "is not a segment word");
    try {
      segments.push_back(ParseSegment((*found)[i].get<std::string>()));
    } catch (const Failure& bad) {
      RaiseBadFile(at, "'" + (*found)[i].get<std::string>() + "': " + bad.description());
    }
  }
  try {
    RequireStorable(segments);
  } catch (const Failure& bad) {
    RaiseBadFile(where, bad.description());
  }
  return segments;
}

FileRule RuleOf(const Json& rule, const std::string& where) {
  RequireKeys(rule, where, {"owner", "name", "owner_name", "segments", "next_number", "counters"});
  if (!rule.contains("owner")) RaiseBadFile(where, "lacks \"owner\"");
  FileRule read{OwnerMember(rule["owner"], where + ".owner"),
                TextMember(rule, where, "name", true),
                TextMember(rule, where, "owner_name", false),
                SegmentsOf(rule, where),
                {},
                {}};
  if (rule.contains("next_number")) {
    read.next_number = TextMember(rule, where, "next_number", true);
    if (!read.next_number->empty() && !service::ParseNumber<int32_t>(*read.next_number)) {
      RaiseBadFile(where + ".next_number", "is not a whole number");
    }
  }
  if (rule.contains("counters")) {
    if (!rule["counters"].is_object()) RaiseBadFile(where + ".counters", "is not an object");
    for (const auto& [key, number] : rule["counters"].items()) {
      if (!number.is_number_integer()) RaiseBadFile(where + ".counters." + key, "is not a number");
      read.counters.emplace_back(key, number.get<int32_t>());
    }
  }
  return read;
}

struct RuleFile {
  std::optional<std::vector<RuleOwner>> scope;  // the owners it covers; none: all
  std::vector<FileRule> rules;
  std::vector<maintenance::ImportCode> codes;
};

maintenance::ImportCode CodeOf(const Json& code, const std::string& where) {
  RequireKeys(code, where, {"source", "archive", "content_type", "width", "value", "code"});
  const std::string source = TextMember(code, where, "source", true);
  const std::optional<int> type = notation::SourceType(source);
  return {type ? std::to_string(*type) : source,          TextMember(code, where, "archive", true),
          TextMember(code, where, "content_type", false), TextMember(code, where, "width", false),
          TextMember(code, where, "value", true),         TextMember(code, where, "code", true)};
}

RuleFile ReadFile(const std::string& text) {
  const Json root = Json::parse(text, nullptr, false);
  if (root.is_discarded()) RaiseBadFile("text", "is not JSON");
  RequireKeys(root, "top", {maintenance::kRuleFileKey, "owners", "rules", "codes"});
  const auto version = root.find(maintenance::kRuleFileKey);
  if (version == root.end() || *version != maintenance::kRuleFileVersion) {
    RaiseBadFile("top", "lacks \"quillet_rules\": 1");
  }
  RuleFile file;
  if (root.contains("owners")) {
    if (!root["owners"].is_array()) RaiseBadFile("owners", "is not a list");
    file.scope.emplace();
    for (std::size_t i = 0; i < root["owners"].size(); ++i) {
      file.scope->push_back(OwnerMember(root["owners"][i], "owners[" + std::to_string(i) + "]"));
    }
  }
  if (!root.contains("rules") || !root["rules"].is_array()) RaiseBadFile("top", "lacks \"rules\"");
  std::set<RuleOwner> seen;
  for (std::size_t i = 0; i < root["rules"].size(); ++i) {
    const std::string where = "rules[" + std::to_string(i) + "]";
    FileRule rule = RuleOf(root["rules"][i], where);
    if (!seen.insert(rule.owner).second) RaiseBadFile(where, "repeats an owner");
    if (file.scope &&
        std::find(file.scope->begin(), file.scope->end(), rule.owner) == file.scope->end()) {
      RaiseBadFile(where, "is the rule of " + FormatOwner(rule.owner) + ", not one of \"owners\"");
    }
    file.rules.push_back(std::move(rule));
  }
  if (root.contains("codes")) {
    if (!root["codes"].is_array()) RaiseBadFile("codes", "is not a list");
    for (std::size_t i = 0; i < root["codes"].size(); ++i) {
      file.codes.push_back(CodeOf(root["codes"][i], "codes[" + std::to_string(i) + "]"));
    }
  }
  return file;
}

std::vector<std::string> Words(const Json& entry) {
  std::vector<std::string> words;
  for (const Json& word : entry.value("segments", Json::array())) {
    words.push_back(word.get<std::string>());
  }
  return words;
}

void DiffSegments(const std::vector<std::string>& before, const std::vector<std::string>& after,
                  std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < std::max(before.size(), after.size()); ++i) {
    const std::string at = std::to_string(i + 1) + " ";
    if (i < before.size() && i < after.size() && before[i] == after[i]) {
      lines.push_back("  " + at + after[i]);
      continue;
    }
    if (i < before.size()) lines.push_back("- " + at + before[i]);
    if (i < after.size()) lines.push_back("+ " + at + after[i]);
  }
}

// Setting a number back issues numbers again that may have been issued.
void RequireForward(const RuleOwner& owner, const std::string& what, const std::string& current,
                    int32_t next, bool force) {
  const std::optional<int32_t> before = service::ParseNumber<int32_t>(current);
  if (force || !before || next >= *before) return;
  throw Failure(FailureKind::kGuarded, errc::kGuarded,
                "the rule file sets the " + what + " of " + FormatOwner(owner) + " back from " +
                    current + " to " + std::to_string(next) +
                    ", which issues serial numbers again that may have been issued already");
}

// The numbers' lines, and whether any changes.
bool DiffNumbers(const FileRule& rule, const Json& current, bool force,
                 std::vector<std::string>& lines) {
  bool changes = false;
  if (rule.next_number) {
    const std::string stored = current.value("next_number", std::string());
    if (stored == *rule.next_number) {
      lines.push_back("next number kept " + stored);
    } else {
      if (!rule.next_number->empty()) {
        RequireForward(rule.owner, "next running number", stored,
                       *service::ParseNumber<int32_t>(*rule.next_number), force);
      }
      lines.push_back("next number " + (stored.empty() ? "(none)" : stored) + " -> " +
                      *rule.next_number);
      changes = true;
    }
  }
  const Json counters = current.value("counters", Json::object());
  for (const auto& [key, number] : rule.counters) {
    const auto found = counters.find(key);
    const std::string shown = "counter " + key;
    if (found != counters.end() && *found == number) {
      lines.push_back(shown + " kept " + std::to_string(number));
      continue;
    }
    if (found != counters.end()) {
      RequireForward(rule.owner, shown, found->dump(), number, force);
    }
    lines.push_back(shown + " " + (found == counters.end() ? "(none)" : found->dump()) + " -> " +
                    std::to_string(number));
    changes = true;
  }
  return changes;
}

RuleFileChange DiffRule(const FileRule& rule, const std::optional<Json>& current, bool force) {
  std::vector<std::string> words;
  for (const Segment& segment : rule.segments) words.push_back(FormatSegment(segment));
  RuleFileChange change{rule.owner, current ? "unchanged" : "added", rule.name, {}};
  const Json stored = current.value_or(Json::object());
  const std::string name = stored.value("name", std::string());
  if (current && name != rule.name) {
    change.lines.push_back("name \"" + name + "\" -> \"" + rule.name + "\"");
  }
  const std::string owner_name = stored.value("owner_name", std::string());
  if (current && owner_name != rule.owner_name) {
    change.lines.push_back("owner name \"" + owner_name + "\" -> \"" + rule.owner_name + "\"");
  }
  const bool segments_differ = Words(stored) != words;
  DiffSegments(Words(stored), words, change.lines);
  const bool numbers_differ = DiffNumbers(rule, stored, force, change.lines);
  if (current &&
      (name != rule.name || owner_name != rule.owner_name || segments_differ || numbers_differ)) {
    change.change = "changed";
  }
  return change;
}

std::string CodeLine(const maintenance::ImportCode& code,
                     const std::optional<std::string>& before) {
  const std::optional<int32_t> type = service::ParseNumber<int32_t>(code.source_code);
  return (type ? notation::SourceName(*type) : code.source_code) + " " + code.value + ": " +
         (before ? *before : "(none)") + " -> " + code.code;
}

// A rule name belongs to one owner: after the import as before.
void RequireNamesOfOneOwner(Session& session, const RuleFile& file,
                            const std::vector<RuleOwner>& removed) {
  std::map<RuleOwner, std::string> names;
  for (const RuleOwner& owner : maintenance::RuleOwnersInOrder(session.db())) {
    if (std::find(removed.begin(), removed.end(), owner) != removed.end()) continue;
    const std::optional<Json> entry = maintenance::RuleEntry(session.db(), owner, false);
    if (entry) names[owner] = entry->value("name", std::string());
  }
  for (const FileRule& rule : file.rules) names[rule.owner] = rule.name;
  std::map<std::string, RuleOwner> holders;
  for (const auto& [owner, name] : names) {
    const auto [held, fresh] = holders.emplace(name, owner);
    if (fresh) continue;
    throw Failure(FailureKind::kConflict, errc::kSharedRuleName,
                  "after the import the rules of " + FormatOwner(held->second) + " and " +
                      FormatOwner(owner) + " would both be named \"" + name +
                      "\": a rule name belongs to one owner");
  }
}

}  // namespace

std::string ExportRules(Session& session, const ExportRequest& request) {
  for (const RuleOwner& owner : request.owners) {
    if (!maintenance::RuleEntry(session.db(), owner, false)) {
      RaiseNotFound(FormatOwner(owner) + " has no rule of its own", errc::kNoOwnRule);
    }
  }
  return maintenance::ExportRuleFile(session.db(), request.owners, request.with_numbers,
                                     request.with_codes)
             .dump(2) +
         "\n";
}

ImportResult ImportRules(Session& session, const ImportRequest& request) {
  const RuleFile file = ReadFile(request.file);
  ImportResult result;
  maintenance::ImportPlan plan;
  plan.force = request.force;
  std::set<RuleOwner> listed;
  for (const FileRule& rule : file.rules) {
    listed.insert(rule.owner);
    const std::optional<Json> current = maintenance::RuleEntry(session.db(), rule.owner, true);
    RuleFileChange change = DiffRule(rule, current, request.force);
    if (change.change != "unchanged") {
      plan.rules.push_back({rule.owner, rule.name, RuleDocument(rule.owner_name, rule.segments),
                            rule.next_number, rule.counters});
    }
    result.rules.push_back(std::move(change));
  }
  const std::vector<RuleOwner> covered =
      file.scope ? *file.scope : maintenance::RuleOwnersInOrder(session.db());
  for (const RuleOwner& owner : covered) {
    if (listed.contains(owner)) continue;
    const std::optional<Json> current = maintenance::RuleEntry(session.db(), owner, false);
    if (!current) continue;
    RuleFileChange change{owner, "removed", current->value("name", std::string()), {}};
    DiffSegments(Words(*current), {}, change.lines);
    plan.removed.push_back(owner);
    result.rules.push_back(std::move(change));
  }
  for (const maintenance::ImportCode& code : file.codes) {
    const std::optional<std::string> before =
        store::history::ArchiveCode(session.db(), code.table, code.value);
    if (before == code.code) continue;
    result.codes.push_back(CodeLine(code, before));
    plan.codes.push_back(code);
  }
  RequireNamesOfOneOwner(session, file, plan.removed);
  const bool changes = !plan.rules.empty() || !plan.removed.empty() || !plan.codes.empty();
  if (request.dry_run || !changes) return result;
  maintenance::ApplyImport(session.db(), plan, session.options().user);
  result.applied = true;
  return result;
}

}  // namespace quillet::numbering
