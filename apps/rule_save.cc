#include "apps/rule_save.h"

#include <optional>

#include "apps/catalog.h"
#include "apps/tool_error.h"
#include "core/text_functions.h"

namespace quillet::apps {
namespace {

bool HasBlankAtEnds(const std::string& text) {
  return !text.empty() && (text.front() == ' ' || text.back() == ' ');
}

bool SameSharedSettings(const Segment& a, const Segment& b) {
  return a.format == b.format && a.width == b.width && a.pad == b.pad;
}

std::optional<std::string> KeptNumberNote(const std::optional<Rule>& before,
                                          const std::vector<Segment>& segments) {
  if (!before || before->next_number.empty()) return std::nullopt;
  for (const Segment& segment : segments) {
    if (segment.type == source::kNumber && segment.format != before->next_number) {
      const std::string owner = FormatOwner(before->owner);
      return owner + " keeps its running number " + before->next_number +
             " (start=" + segment.format +
             " counts for new rules only); change it with 'quillet number set " + owner + " N'";
    }
  }
  return std::nullopt;
}

// The other rules whose segments of a mapped data source the save rewrites.
std::vector<std::string> SharedSettingsNotes(DomainSession& session, const RuleOwner& owner,
                                             const std::vector<Segment>& segments) {
  Catalog catalog(session);
  std::vector<std::string> notes;
  for (const Segment& segment : segments) {
    if (!IsMappedSource(segment.type)) continue;
    std::string changed;
    for (const RuleOwner& other : catalog.RuleOwners()) {
      if (other == owner) continue;
      const std::optional<Rule> rule = ReadRule(session.component(), other);
      if (!rule) continue;
      for (const Segment& theirs : rule->segments) {
        if (theirs.type == segment.type && !SameSharedSettings(theirs, segment)) {
          changed += (changed.empty() ? "" : ", ") + FormatOwner(other);
          break;
        }
      }
    }
    if (!changed.empty()) {
      notes.push_back("every rule shares the format, width and pad of " + SourceName(segment.type) +
                      ": the rules of " + changed + " now use these too");
    }
  }
  return notes;
}

// A rule name belongs to one owner: refuses a name another owner's rule has.
void RequireFreeName(DomainSession& session, Catalog& catalog, const RuleOwner& owner,
                     const std::string& name) {
  for (const RuleOwner& other : catalog.RuleOwners()) {
    if (other == owner) continue;
    const std::optional<Rule> rule = ReadRule(session.component(), other);
    if (rule && rule->name == name) {
      throw ToolFailure("the name \"" + name + "\" belongs to the rule of " + FormatOwner(other) +
                        ": choose another name");
    }
  }
}

std::string Where(std::size_t index, const Segment& segment) {
  return "segment " + std::to_string(index + 1) + " '" + FormatSegment(segment) + "'";
}

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

}  // namespace

std::vector<std::string> RuleConcerns(const std::vector<Segment>& segments) {
  std::vector<std::string> concerns;
  bool numbered = false;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    if (segments[i].type != source::kNumber) continue;
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

std::vector<Segment> ParseRuleSegments(const std::vector<std::string>& words) {
  std::vector<Segment> segments;
  std::optional<std::size_t> running_number;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string where = "segment " + std::to_string(i + 1) + " '" + words[i] + "': ";
    Segment segment;
    try {
      segment = ParseSegment(words[i]);
    } catch (const NotationError& bad) {
      throw ToolUsage(where + bad.what(), bad.number());
    }
    if (HasBlankAtEnds(segment.format) || HasBlankAtEnds(segment.pad) ||
        HasBlankAtEnds(segment.fill)) {
      throw ToolUsage(where + "a value starts or ends with a blank, which saving removes");
    }
    if (segment.type == source::kNumber) {
      if (running_number) {
        throw ToolUsage(where + "a rule has one running number, and segment " +
                        std::to_string(*running_number + 1) + " is one already");
      }
      running_number = i;
    }
    segments.push_back(std::move(segment));
  }
  return segments;
}

SaveOutcome SaveRuleWithNotes(DomainSession& session, const RuleOwner& owner,
                              const std::string& name, const std::vector<Segment>& segments,
                              bool guarded) {
  Catalog catalog(session);
  catalog.RequireKnown(owner);
  RequireFreeName(session, catalog, owner, name);
  if (guarded) {
    const std::vector<std::string> concerns = RuleConcerns(segments);
    if (!concerns.empty()) {
      throw ToolFailure(concerns.front() + " (give --force to save the rule as it is)");
    }
  }
  const std::optional<Rule> before = ReadRule(session.component(), owner);
  SaveOutcome outcome;
  if (std::optional<std::string> note = KeptNumberNote(before, segments)) {
    outcome.notes.push_back(*std::move(note));
  }
  for (std::string& note : SharedSettingsNotes(session, owner, segments)) {
    outcome.notes.push_back(std::move(note));
  }
  SaveRule(session.component(), {owner, catalog.OwnerName(owner), name, "", segments});
  std::optional<Rule> after = ReadRuleWithPolicy(session, owner);
  if (!after) throw ToolFailure("the rule of " + FormatOwner(owner) + " was not stored");
  outcome.rule = *std::move(after);
  return outcome;
}

std::string SegmentNotationHelp() {
  return R"(Segments, one word each:  SOURCE[=VALUE][,KEY=VALUE]...

  text=SN-            fixed text
  date=YYYYMMDD       the document date; YYYY YY MM DD HH :MM: SS are replaced
  department=1,...    the department cut to a level (1 = top level)
  class=2,...         the item's inventory class cut to a level
  number,...          the running number: width = digits, step, start (default 1)
  lot workcenter warehouse clerk supplier item free1 ... free10
                      the value of the document line (item: the item code)

  width=N   the text is fitted to N characters: padded on the left, or cut to its
            last N (needed by every source but date and text)
  pad=C     the pad sign (default 0)
  fill=C    an empty value becomes C repeated width times (without fill, an
            empty value gives no serial number)
  step=N    how far the running number goes per serial number (number: default 1)
  format=F  the format of a source without a value of its own (rarely needed)

Department, work center, warehouse, clerk, supplier, class and item values are
replaced by their mapped code when they have one (see 'quillet mapping').
Their format, width and pad are shared by every rule: saving one changes all.
Escapes in values: \, \= \\ \n \r \t \u{HEX}. Quote words holding * ? ' or blanks.

Examples:
  quillet rule save class:0102 --name "Floor lamps" text=FL- 'department=1,width=2,fill=X' date=YYMM number,width=4
  quillet rule save item:LW-DL-110 --name "Aster dimmable" text=ASD- date=YYMMDD- number,width=4,step=1,start=100
  quillet rule save all --name General text=SN- date=YYYYMMDD- number,width=5)";
}

}  // namespace quillet::apps
