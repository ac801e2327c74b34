// The cause of an empty issue, looked for the way the issue evaluates, and
// said in the words of the segment notation.
#include "generation/empty_issue.h"

#include <charconv>
#include <vector>

#include "core/field_text.h"
#include "core/segment_notation.h"
#include "core/value_document.h"
#include "generation/policy_issue.h"
#include "generation/rule_evaluation.h"
#include "generation/rule_search.h"
#include "generation/running_number_lease.h"
#include "store/rule_queries.h"

namespace quillet::generation {
namespace {

using notation::Segment;
namespace source = notation::source;

// A cause found, on its way out.
struct Found {
  EmptyIssueReason reason;
};

[[noreturn]] void Say(std::string text, std::optional<int32_t> number = std::nullopt) {
  throw Found{{std::move(text), number}};
}

bool IsWholeNumber(const std::string& text) {
  int32_t value = 0;
  const auto [stop, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && problem == std::errc() && stop == text.data() + text.size();
}

int32_t NumberOf(const Variant& field) { return field.IsNull() ? 0 : field.ToInt32(); }

// The owner's segments as the notation writes them, in grade order.
std::vector<Segment> SegmentsOf(store::Connection& db, const RuleOwner& owner) {
  const auto rows = store::generation::OwnerSegments(db, owner.code, owner.KindText());
  std::vector<Segment> segments;
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    segments.emplace_back(
        NumberOf(rows->Field("cdatasrctype")), FieldTextOrEmpty(rows->Field("cdatasrcformat")),
        NumberOf(rows->Field("iformatlength")), FieldTextOrEmpty(rows->Field("cpatchsign")),
        FieldTextOrEmpty(rows->Field("creplacesign")), NumberOf(rows->Field("isteplength")));
  }
  return segments;
}

RuleOwner RequireOwner(store::Connection& db, const std::string& item) {
  const RuleSearch search = SearchRule(db, item);
  if (search.stopped) Say(*search.stopped + ", so no rule applies to it");
  if (!search.found) {
    std::string checked;
    for (const RuleOwner& owner : search.checked) {
      checked += (checked.empty() ? "" : ", ") + OwnerWord(owner);
    }
    Say("no rule applies to item " + item + " (checked " + checked +
        "): save one with 'quillet rule save'");
  }
  return *search.found;
}

std::string LineValue(const XmlDocument& values, int type) {
  const std::optional<XmlNode> row = RowOfType(values, type);
  return row ? row->getAttribute("value").value_or("") : "";
}

std::string DefaultRequest(const std::string& source_name, int type) {
  return "give the value document's row of itype " + std::to_string(type) + " (" + source_name +
         ") a value";
}

// The first segment whose settings or value make the evaluation fail.
void CheckSegments(store::Connection& db, const RuleOwner& owner,
                   const std::vector<Segment>& segments, const std::string& next_number,
                   const XmlDocument& values, const ValueRequest& ask_value) {
  const std::string rule = OwnerWord(owner);
  if (segments.empty()) Say("the rule of " + rule + " has no segments");
  int running_numbers = 0;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const Segment& segment = segments[i];
    const std::string where = "segment " + std::to_string(i + 1) + " (" +
                              notation::FormatSegment(segment) + ") of " + rule;
    const std::string value = LineValue(values, segment.type);
    const std::string name = notation::SourceName(segment.type);
    // An empty date gives an empty text; every other line value needs a fill.
    if (notation::IsLineValue(segment.type) && segment.type != source::kDate && value.empty() &&
        segment.fill.empty()) {
      Say(where + " needs a value: " +
          (ask_value ? ask_value(name, segment.type) : DefaultRequest(name, segment.type)) +
          ", or give the segment a fill sign (fill=X)");
    }
    if (segment.type == source::kDepartment && !value.empty()) {
      const auto department = store::generation::DepartmentGrade(db, value);
      if (department->Bof() && department->Eof()) {
        Say(where + " cuts the department to a level, but there is no department " + value);
      }
    }
    if (segment.type != source::kNumber) continue;
    if (++running_numbers > 1) Say("the rule of " + rule + " has more than one running number");
    if (!IsWholeNumber(next_number)) {
      Say("the running number of " + rule + " is '" + next_number +
          "', not a whole number: set it with 'quillet number set " + rule + " 1'");
    }
  }
}

// Walks the rule as the component does, to catch the error it raises.
void WalkAsTheComponent(store::Connection& db, const RuleOwner& owner, const std::string& item,
                        const XmlDocument& values) {
  const std::string rule = OwnerWord(owner);
  std::optional<WalkedRule> walked;
  try {
    walked = WalkRule(db, values, {item, owner, nullptr},
                      [](const RunningNumber&) { return std::string(); });
  } catch (const Error& error) {
    Say("the rule of " + rule + " gives no serial number for item " + item + ": " +
            error.description(),
        error.number());
  }
  if (walked && walked->text.find_first_of("'<&") != std::string::npos) {
    Say("the rule of " + rule + " gives the text '" + walked->text + "' for item " + item +
        ", whose ' < or & the parts of a rule cannot carry");
  }
}

// Saving also writes the running number: when the rule itself is sound, the
// database's refusal to write (a lock held longer than writers wait, a file
// that cannot be written) is the reason. The number read is written back
// as it was, so nothing changes.
void CheckSaving(store::Connection& db, const RuleOwner& owner) {
  try {
    RunningNumberLease lease(db);
    const auto header = lease.Read(owner);
    if (header->Bof() && header->Eof()) return;
    lease.Advance(header->Field("cnumber").ToText());
  } catch (const Error& error) {
    Say("the running number of " + OwnerWord(owner) + " cannot be saved: " + error.description(),
        error.number());
  }
}

bool HasRunningNumber(const std::vector<Segment>& segments) {
  for (const Segment& segment : segments) {
    if (segment.type == source::kNumber) return true;
  }
  return false;
}

void LookForTheCause(store::Connection& db, const XmlDocument& values, bool saving,
                     const std::optional<Error>& refusal, const ValueRequest& ask_value) {
  if (refusal) Say(refusal->description(), refusal->number());
  std::optional<std::string> item = ItemCode(values);
  if (!item) throw Error::ObjectNotSet();
  const RuleOwner owner = RequireOwner(db, *item);
  const auto header = store::generation::HeaderNumber(db, owner.code, owner.KindText());
  if (header->Bof() && header->Eof()) Say("the rule of " + OwnerWord(owner) + " is gone");
  const std::vector<Segment> segments = SegmentsOf(db, owner);
  CheckSegments(db, owner, segments, FieldTextOrEmpty(header->Field("cnumber")), values, ask_value);
  WalkAsTheComponent(db, owner, *item, values);
  if (saving && HasRunningNumber(segments)) CheckSaving(db, owner);
  Say("the rule of " + OwnerWord(owner) + " gives no serial number for item " + *item);
}

}  // namespace

EmptyIssueReason ExplainEmptyIssue(store::Connection& db, const XmlDocument& values, bool saving,
                                   const std::optional<Error>& refusal,
                                   const ValueRequest& ask_value) {
  try {
    LookForTheCause(db, values, saving, refusal, ask_value);
  } catch (Found& found) {
    return std::move(found.reason);
  }
  return {};
}

}  // namespace quillet::generation
