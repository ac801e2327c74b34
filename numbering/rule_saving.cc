#include "numbering/rule_saving.h"

#include <optional>

#include "core/segment_notation.h"
#include "core/text_functions.h"
#include "maintenance/delete_rule.h"
#include "maintenance/save_rule.h"
#include "numbering/catalog.h"
#include "numbering/rule_records.h"

namespace quillet::numbering {
namespace {

bool HasBlankAtEnds(const std::string& text) {
  return !text.empty() && (text.front() == ' ' || text.back() == ' ');
}

std::string Where(std::size_t index, const Segment& segment) {
  return "segment " + std::to_string(index + 1) + " '" + FormatSegment(segment) + "'";
}

}  // namespace

void RequireStorable(const std::vector<Segment>& segments) {
  std::optional<std::size_t> running_number;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const Segment& segment = segments[i];
    if (HasBlankAtEnds(segment.format) || HasBlankAtEnds(segment.pad) ||
        HasBlankAtEnds(segment.fill)) {
      RaiseBadRequest(Where(i, segment) +
                      ": a value starts or ends with a blank, which saving removes");
    }
    if (segment.source != DataSource::kRunningNumber) continue;
    if (running_number) {
      RaiseBadRequest(Where(i, segment) + ": a rule has one running number, and segment " +
                      std::to_string(*running_number + 1) + " is one already");
    }
    running_number = i;
  }
}

namespace {

std::optional<std::string> StepConcern(std::size_t index, const Segment& segment) {
  if (segment.step > 0) return std::nullopt;
  if (segment.step == 0) {
    return Where(index, segment) +
           ": with step 0 a single issue still goes up by 1, but every serial number of a batch "
           "carries the same running number";
  }
  return Where(index, segment) + ": with step " + std::to_string(segment.step) +
         " the running number counts down, towards numbers issued before";
}

std::optional<std::string> WidthConcern(std::size_t index, const Segment& segment) {
  if (GetByteLen(segment.format) <= segment.width) return std::nullopt;
  const std::string width = std::to_string(segment.width);
  return Where(index, segment) + ": the start number " + segment.format + " takes " +
         std::to_string(GetByteLen(segment.format)) + " digits and the width is " + width +
         ": a single issue writes it cut to " + PatchValue(segment.format, width, "0") +
         ", and a batch gives no serial numbers";
}

bool SameSharedSettings(const Segment& a, const Segment& b) {
  return a.format == b.format && a.width == b.width && a.pad == b.pad;
}

bool IsMapped(DataSource source) { return notation::IsMappedSource(static_cast<int>(source)); }

std::optional<std::string> KeptNumberNote(const std::optional<Rule>& before,
                                          const std::vector<Segment>& segments) {
  if (!before || before->next_number.empty()) return std::nullopt;
  for (const Segment& segment : segments) {
    if (segment.source == DataSource::kRunningNumber && segment.format != before->next_number) {
      const std::string owner = FormatOwner(before->owner);
      return owner + " keeps its running number " + before->next_number +
             " (start=" + segment.format + " counts for new rules only)";
    }
  }
  return std::nullopt;
}

// The other rules whose segments of a mapped data source the save rewrites.
std::vector<std::string> SharedSettingsNotes(const RuleList& others, const RuleOwner& owner,
                                             const std::vector<Segment>& segments) {
  std::vector<std::string> notes;
  for (const Segment& segment : segments) {
    if (!IsMapped(segment.source)) continue;
    std::string changed;
    for (const Rule& rule : others.rules) {
      if (rule.owner == owner) continue;
      for (const Segment& theirs : rule.segments) {
        if (theirs.source == segment.source && !SameSharedSettings(theirs, segment)) {
          changed += (changed.empty() ? "" : ", ") + FormatOwner(rule.owner);
          break;
        }
      }
    }
    if (!changed.empty()) {
      notes.push_back("every rule shares the format, width and pad of " +
                      DataSourceName(segment.source) + ": the rules of " + changed +
                      " now use these too");
    }
  }
  return notes;
}

// A rule name belongs to one owner.
[[noreturn]] void RaiseNameTaken(const std::string& name, const RuleOwner& holder) {
  throw Failure(FailureKind::kConflict, errc::kSharedRuleName,
                "the name \"" + name + "\" belongs to the rule of " + FormatOwner(holder) +
                    ": choose another name");
}

void RequireFreeName(const RuleList& rules, const RuleOwner& owner, const std::string& name) {
  for (const Rule& rule : rules.rules) {
    if (rule.owner != owner && rule.name == name) RaiseNameTaken(name, rule.owner);
  }
  for (const RuleList::Unreadable& rule : rules.unreadable) {
    if (rule.owner != owner && rule.name == name) RaiseNameTaken(name, rule.owner);
  }
}

}  // namespace

std::vector<std::string> RuleConcerns(const std::vector<Segment>& segments) {
  std::vector<std::string> concerns;
  bool numbered = false;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    if (segments[i].source != DataSource::kRunningNumber) continue;
    numbered = true;
    for (auto concern : {StepConcern(i, segments[i]), WidthConcern(i, segments[i])}) {
      if (concern) concerns.push_back(*std::move(concern));
    }
  }
  if (!numbered) {
    concerns.push_back(
        "the rule has no running number (number,width=N): it gives the same serial number "
        "every time the line's values are the same");
  }
  return concerns;
}

SavedRule SaveRule(Session& session, const SaveRuleRequest& request) {
  RequireStorable(request.segments);
  RequireKnownOwner(session, request.owner);
  const RuleList rules = ReadRules(session);
  RequireFreeName(rules, request.owner, request.name);
  if (!request.force) {
    const std::vector<std::string> concerns = RuleConcerns(request.segments);
    if (!concerns.empty()) throw Failure(FailureKind::kGuarded, errc::kGuarded, concerns.front());
  }
  const std::optional<Rule> before = ReadRule(session, request.owner);
  SavedRule saved;
  saved.created = !before;
  if (std::optional<std::string> note = KeptNumberNote(before, request.segments)) {
    saved.notes.push_back(*std::move(note));
  }
  for (std::string& note : SharedSettingsNotes(rules, request.owner, request.segments)) {
    saved.notes.push_back(std::move(note));
  }
  const std::optional<std::string> refused = maintenance::SaveRule(
      session.db(), RuleDocument(OwnerName(session, request.owner), request.segments),
      request.owner, request.name, session.options().user);
  if (refused) throw Failure(FailureKind::kConflict, errc::kSharedRuleName, *refused);
  std::optional<Rule> after = ReadRule(session, request.owner);
  if (!after) RaiseNotFound("the rule of " + FormatOwner(request.owner) + " was not stored");
  saved.rule = *std::move(after);
  return saved;
}

Rule DeleteRule(Session& session, const RuleOwner& owner) {
  RequireRule(session, owner);
  std::optional<Rule> rule = ReadRule(session, owner);
  if (!rule) RaiseNotFound(FormatOwner(owner) + " has no rule of its own", errc::kNoOwnRule);
  maintenance::DeleteRule(session.db(), owner, rule->name, session.options().user);
  return *std::move(rule);
}

}  // namespace quillet::numbering
