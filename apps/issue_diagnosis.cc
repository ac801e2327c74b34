#include "apps/issue_diagnosis.h"

#include <charconv>
#include <optional>
#include <string>

#include "apps/rule_store.h"
#include "apps/segment_notation.h"
#include "apps/tool_error.h"
#include "generation/rule_evaluation.h"
#include "generation/running_number_lease.h"
#include "quillet/error.h"

namespace quillet::apps {
namespace {

bool IsWholeNumber(const std::string& text) {
  int32_t value = 0;
  const auto [stop, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && problem == std::errc() && stop == text.data() + text.size();
}

std::string CheckedList(const Resolution& resolution) {
  std::string list;
  for (const Owner& owner : resolution.checked) {
    list += list.empty() ? "" : ", ";
    list += FormatOwner(owner);
  }
  return list;
}

Owner RequireOwner(const Resolution& resolution, const std::string& item) {
  if (resolution.stopped) throw ToolFailure(*resolution.stopped + ", so no rule applies to it");
  if (!resolution.found) {
    throw ToolFailure("no rule applies to item " + item + " (checked " + CheckedList(resolution) +
                      "): save one with 'quillet rule save'");
  }
  return *resolution.found;
}

// The first segment whose settings or value make the evaluation fail.
void CheckSegments(Catalog& catalog, const Rule& rule, const LineValues& line) {
  const std::string owner = FormatOwner(rule.owner);
  if (rule.segments.empty()) throw ToolFailure("the rule of " + owner + " has no segments");
  int running_numbers = 0;
  for (std::size_t i = 0; i < rule.segments.size(); ++i) {
    const Segment& segment = rule.segments[i];
    const std::string where =
        "segment " + std::to_string(i + 1) + " (" + FormatSegment(segment) + ") of " + owner;
    const auto found = line.values.find(segment.type);
    const std::string value = found == line.values.end() ? "" : found->second;
    // An empty date gives an empty text; every other line value needs a fill.
    if (IsLineValue(segment.type) && segment.type != source::kDate && value.empty() &&
        segment.fill.empty()) {
      throw ToolFailure(where + " needs a value: add --set " + SourceName(segment.type) +
                        "=VALUE, or give the segment a fill sign (fill=X)");
    }
    if (segment.type == source::kDepartment && !value.empty() && !catalog.DepartmentExists(value)) {
      throw ToolFailure(where + " cuts the department to a level, but there is no department " +
                        value);
    }
    if (segment.type == source::kNumber) {
      if (++running_numbers > 1)
        throw ToolFailure("the rule of " + owner + " has more than one running number");
      if (!IsWholeNumber(rule.next_number)) {
        throw ToolFailure("the running number of " + owner + " is '" + rule.next_number +
                          "', not a whole number: set it with 'quillet number set " + owner +
                          " 1'");
      }
    }
  }
}

// Walks the rule as the component does, to catch the error it raises.
void WalkAsTheComponent(DomainSession& session, const Owner& owner, const LineValues& line) {
  const std::shared_ptr<XmlDocument> values = ValueDocument(line, std::nullopt);
  const generation::RuleSubject subject{line.item, {owner.code, owner.type}};
  std::optional<generation::WalkedRule> walked;
  try {
    walked = generation::WalkRule(session.reader(), *values, subject,
                                  [](const generation::RunningNumber&) { return std::string(); });
  } catch (const Error& error) {
    throw ToolFailure("the rule of " + FormatOwner(owner) + " gives no serial number for item " +
                          line.item + ": " + error.description(),
                      error.number());
  }
  if (walked && walked->text.find_first_of("'<&") != std::string::npos) {
    throw ToolFailure("the rule of " + FormatOwner(owner) + " gives the text '" + walked->text +
                      "' for item " + line.item +
                      ", whose ' < or & the parts of a rule cannot carry");
  }
}

bool HasRunningNumber(const Rule& rule) {
  for (const Segment& segment : rule.segments) {
    if (segment.type == source::kNumber) return true;
  }
  return false;
}

// Saving also writes the running number: when the rule itself is sound, the
// database's refusal to write (a lock held longer than writers wait, a file
// that cannot be written) is the reason. The number read is written back
// as it was, so nothing changes.
void CheckSaving(DomainSession& session, const Owner& owner) {
  try {
    generation::RunningNumberLease lease(session.reader());
    const auto header = lease.Read({owner.code, owner.type});
    if (header->Bof() && header->Eof()) return;
    lease.Advance(header->Field("cnumber").ToText());
  } catch (const Error& error) {
    throw ToolFailure(
        "the running number of " + FormatOwner(owner) + " cannot be saved: " + error.description(),
        error.number());
  }
}

}  // namespace

void ExplainNoSerialNumber(DomainSession& session, Catalog& catalog, const LineValues& line,
                           bool saving) {
  if (const std::optional<Error>& refusal = session.component().LastIssueNotes().refusal) {
    throw ToolFailure(refusal->description(), refusal->number());
  }
  const Owner owner = RequireOwner(catalog.Resolve(line.item), line.item);
  const std::optional<Rule> rule = ReadRule(session.component(), owner);
  if (!rule) throw ToolFailure("the rule of " + FormatOwner(owner) + " is gone");
  CheckSegments(catalog, *rule, line);
  WalkAsTheComponent(session, owner, line);
  if (saving && HasRunningNumber(*rule)) CheckSaving(session, owner);
  throw ToolFailure("the rule of " + FormatOwner(owner) + " gives no serial number for item " +
                    line.item);
}

}  // namespace quillet::apps
