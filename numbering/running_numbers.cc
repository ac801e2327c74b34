#include "numbering/running_numbers.h"

#include <optional>

#include "core/number_text.h"
#include "generation/counter_key.h"
#include "generation/policy_issue.h"
#include "maintenance/rule_lookup.h"
#include "numbering/catalog.h"
#include "numbering/issuing.h"
#include "numbering/line_document.h"
#include "numbering/rule_records.h"

namespace quillet::numbering {
namespace {

// The counter key's separator between the text before and after the
// running number, as messages show it.
constexpr char kStoredSeparator = '\x1f';
constexpr std::string_view kShownSeparator = "…";

// Where an owner's next running number is kept.
struct NumberPlace {
  RunningNumber number;
  std::string stored_key;  // "" for the rule's own number
};

std::string Shown(const std::string& key) {
  std::string shown;
  for (const char c : key) {
    if (c == kStoredSeparator) {
      shown += kShownSeparator;
    } else {
      shown += c;
    }
  }
  return shown;
}

const Segment* RunningSegmentOf(const Rule& rule) {
  for (const Segment& segment : rule.segments) {
    if (segment.source == DataSource::kRunningNumber) return &segment;
  }
  return nullptr;
}

// The counter of a period: the line's date decides it, its item is not read.
NumberPlace PeriodCounter(Session& session, const Rule& rule, const Line& line) {
  const NumberingPolicy policy = rule.policy();
  const std::shared_ptr<XmlDocument> values = ValueDocument(line.item, LineValuesByType(line));
  const std::string key =
      generation::CounterKey(policy.restart, *values, "", "", generation::OwnerWord(rule.owner));
  const int32_t next = generation::NextCounterNumber(session.db(), {line.item, rule.owner, nullptr},
                                                     *values, policy.restart, "", "",
                                                     Variant(RunningSegmentOf(rule)->format));
  return {{rule.owner, key, std::to_string(next)}, key};
}

// The counter of a prefix: the rule evaluated for the line says its texts
// around the running number, and the number the counter gives next.
NumberPlace PrefixCounter(Session& session, const Rule& rule, const Line& line) {
  if (line.item.empty()) {
    RaiseBadRequest("the rule of " + FormatOwner(rule.owner) +
                    " starts its running number again for each prefix: give the item and "
                    "values of the line whose counter is meant");
  }
  const PreviewResult preview = Preview(session, line);
  if (preview.owner != rule.owner) {
    RaiseBadRequest("item " + line.item + " follows " +
                    (preview.owner ? "the rule of " + FormatOwner(*preview.owner) : "no rule") +
                    ", not the rule of " + FormatOwner(rule.owner));
  }
  if (preview.reason) RaiseBadRequest(preview.reason->text);
  const std::string key = preview.parts.prefix + kStoredSeparator + preview.parts.suffix;
  return {{rule.owner, Shown(key), preview.parts.stored_number}, key};
}

NumberPlace PlaceOf(Session& session, const RuleOwner& owner, const Line& line) {
  RequireRule(session, owner);
  const std::optional<Rule> rule = ReadRule(session, owner);
  if (!rule) RaiseNotFound(FormatOwner(owner) + " has no rule of its own", errc::kNoOwnRule);
  const Restart restart = rule->policy().restart;
  if (restart == Restart::kNever || !RunningSegmentOf(*rule)) {
    return {{owner, "", rule->next_number}, ""};
  }
  return restart == Restart::kPrefix ? PrefixCounter(session, *rule, line)
                                     : PeriodCounter(session, *rule, line);
}

// Setting the number back issues numbers again that may have been issued.
void RequireForward(const RunningNumber& current, int32_t number) {
  const std::optional<int32_t> before = service::ParseNumber<int32_t>(current.next_number);
  if (!before || number >= *before) return;
  const std::string counter = current.counter.empty() ? "" : " (counter " + current.counter + ")";
  throw Failure(FailureKind::kGuarded, errc::kGuarded,
                "the next running number of " + FormatOwner(current.owner) + counter + " is " +
                    current.next_number + ": setting it back to " + std::to_string(number) +
                    " issues " + std::to_string(number) + " to " + std::to_string(*before - 1) +
                    " again, serial numbers that may have been issued already");
}

}  // namespace

RunningNumber GetRunningNumber(Session& session, const RuleOwner& owner, const Line& line) {
  return PlaceOf(session, owner, line).number;
}

SetRunningNumberResult SetRunningNumber(Session& session, const SetRunningNumberRequest& request) {
  NumberPlace place = PlaceOf(session, request.owner, request.line);
  if (!request.force) RequireForward(place.number, request.next_number);
  if (place.stored_key.empty()) {
    maintenance::SetStoredRunningNumber(
        session.db(), request.owner, std::to_string(request.next_number), session.options().user);
  } else {
    maintenance::SetCounterNumber(session.db(), request.owner, place.stored_key,
                                  request.next_number, session.options().user);
  }
  SetRunningNumberResult result{place.number, place.number.next_number};
  result.number.next_number = std::to_string(request.next_number);
  return result;
}

}  // namespace quillet::numbering
