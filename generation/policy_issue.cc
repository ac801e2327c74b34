#include "generation/policy_issue.h"

#include <memory>

#include "core/check_character.h"
#include "core/runtime_errors.h"
#include "core/text_functions.h"
#include "core/utc_time.h"
#include "generation/counter_key.h"
#include "generation/running_number_lease.h"
#include "store/database_error.h"
#include "store/policy_queries.h"
#include "store/rule_queries.h"

namespace quillet::generation {
namespace {

// The running-number segment as the walk met it.
struct RunningSegment {
  bool present = false;
  std::string width;  // iformatlength as text
  int32_t step = 1;
  Variant start;   // cdatasrcformat: the start number
  Variant stored;  // the header's cnumber as read
};

// The walked rule split around its running number.
struct SplitRule {
  std::string prefix;  // the whole text for a rule without a running number
  std::string suffix;
  RunningSegment running;
};

// Walks the rule; the header's number is read under the lease when one is
// given and the rule numbers from its header.
SplitRule Walk(store::Connection& db, const RuleSubject& subject, const XmlDocument& values,
               const NumberingPolicy& policy, RunningNumberLease* lease) {
  SplitRule split;
  const HeaderNumberReader read = [&](const RuleOwner& owner, const RecordSet& segment) {
    if (policy.restart != Restart::kNever) return UnusedHeaderNumber(owner, segment);
    if (lease) return lease->Read(owner);
    if (subject.facts) return subject.facts->HeaderNumber(owner);
    return store::generation::HeaderNumber(db, owner.code, owner.KindText());
  };
  const RunningNumberHandler handler = [&](const RunningNumber& number) {
    RunningSegment& running = split.running;
    running.present = true;
    running.width = FieldText(number.segment.Field("iformatlength"));
    running.step = RunningStep(number.segment.Field("isteplength"));
    running.start = number.segment.Field("cdatasrcformat");
    running.stored = number.stored;
    return std::string();
  };
  const std::optional<WalkedRule> walked = WalkRule(db, values, subject, handler, read);
  if (!walked) throw Error(errc::kNoCurrentRecord, "The rule has no segments");
  split.prefix = walked->has_running_number ? walked->prefix : walked->text;
  split.suffix = walked->text.substr(split.prefix.size());
  return split;
}

int32_t StartNumber(const Variant& start) {
  if (start.IsNull()) throw Error::InvalidUseOfNull();
  return start.ToInt32();
}

int32_t Times(int32_t step, int32_t count) {
  int32_t product = 0;
  if (__builtin_mul_overflow(step, count, &product)) throw Error::Overflow();
  return product;
}

// The first running number of the issue: the header's, or taken from (or,
// without saving, read from) the counter of the line.
int32_t FirstNumber(store::Connection& db, const RuleSubject& subject, const XmlDocument& values,
                    const NumberingPolicy& policy, const SplitRule& split, int32_t count,
                    RunningNumberLease* lease) {
  const RunningSegment& running = split.running;
  if (policy.restart == Restart::kNever) return running.stored.ToInt32();
  if (!lease) {
    return NextCounterNumber(db, subject, values, policy.restart, split.prefix, split.suffix,
                             running.start);
  }
  const std::string key =
      CounterKey(policy.restart, values, split.prefix, split.suffix, OwnerWord(subject.owner));
  return lease->ClaimCounter(subject.owner, key, StartNumber(running.start),
                             Times(running.step, count));
}

std::vector<int32_t> Numbers(int32_t first, int32_t step, int32_t count) {
  std::vector<int32_t> numbers{first};
  for (int32_t i = 1; i < count; ++i) numbers.push_back(CheckedAdd(numbers.back(), step));
  return numbers;
}

bool OutgrowsDigits(const std::vector<int32_t>& numbers, const std::string& width) {
  const int16_t digits = Variant(width).ToInt16();
  for (const int32_t number : numbers) {
    if (GetByteLen(std::to_string(number)) > digits) return true;
  }
  return false;
}

std::vector<std::string> SerialTexts(const SplitRule& split, const std::vector<int32_t>& numbers) {
  std::vector<std::string> serials;
  for (const int32_t number : numbers) {
    serials.push_back(split.prefix + PatchValue(std::to_string(number), split.running.width, "0") +
                      split.suffix);
  }
  return serials;
}

// Each serial number followed by its check characters, when the policy asks
// for them.
void AppendCheckCharacters(const NumberingPolicy& policy, std::vector<std::string>& serials) {
  if (!policy.check) return;
  for (std::string& serial : serials) serial += CheckCharacters(*policy.check, serial);
}

std::string IssuedNote(const store::policy::JournalEntry& entry) {
  return "at " + entry.issued + " (item " + entry.item + " by the rule of " +
         (entry.owner_type == "2"
              ? std::string("all")
              : std::string(entry.owner_type == "1" ? "item:" : "class:") + entry.owner_code) +
         (entry.user.empty() ? "" : ", user " + entry.user) + ")";
}

// Refuses serial numbers that the journal holds already.
void RefuseRepeats(store::Connection& db, const RuleOwner& owner,
                   const std::vector<std::string>& serials) {
  const std::vector<store::policy::JournalEntry> before = store::policy::IssuedBefore(db, serials);
  if (before.empty()) return;
  throw PolicyRefusal(errc::kIssuedBefore, "serial number " + before.front().serial +
                                               " was issued before, " + IssuedNote(before.front()) +
                                               ", and the rule of " + OwnerWord(owner) +
                                               " issues a serial number once only (unique=yes)");
}

void Record(store::Connection& writer, const RuleSubject& subject, const XmlDocument& values,
            const NumberingPolicy& policy, const std::vector<std::string>& serials,
            const std::vector<int32_t>& numbers, bool numbered, const std::string& user) {
  const std::string issued = service::UtcTimestamp();
  const std::string date = DocumentDate(values);
  std::vector<store::policy::JournalEntry> entries;
  for (std::size_t i = 0; i < serials.size(); ++i) {
    entries.push_back({serials[i], subject.owner.code, subject.owner.KindText(), subject.item_code,
                       numbered ? std::optional<int32_t>(numbers[i]) : std::nullopt, date, issued,
                       user});
  }
  try {
    store::policy::RecordIssues(writer, entries, policy.unique);
  } catch (const Error& error) {
    if (!store::IsUniqueViolation(error)) throw;
    throw PolicyRefusal(errc::kIssuedBefore,
                        "serial number " + serials.front() +
                            (serials.size() > 1 ? " (or another of the batch)" : "") +
                            " was issued by another caller at the same moment, and the rule of " +
                            OwnerWord(subject.owner) + " issues a serial number once only");
  }
}

std::string NumberRange(int32_t first, int32_t last) {
  return first == last ? "running number " + std::to_string(first)
                       : "running numbers " + std::to_string(first) + " to " + std::to_string(last);
}

}  // namespace

std::optional<NumberingPolicy> PolicyOf(store::Connection& db, const RuleOwner& owner) {
  return store::policy::OwnerPolicy(db, owner.code, owner.KindText());
}

std::optional<NumberingPolicy> PolicyOf(store::Connection& db, const RuleSubject& subject) {
  return subject.facts ? subject.facts->Policy(subject.owner) : PolicyOf(db, subject.owner);
}

std::shared_ptr<RecordSet> UnusedHeaderNumber(const RuleOwner&, const RecordSet&) {
  return std::make_shared<RecordSet>(std::vector<Column>{{"cnumber"}},
                                     std::vector<std::vector<Variant>>{{Variant("0")}});
}

std::string OwnerWord(const RuleOwner& owner) {
  if (owner.kind == OwnerKind::kItem) return "item:" + owner.code;
  if (owner.kind == OwnerKind::kClass) return "class:" + owner.code;
  return "all";
}

int32_t NextCounterNumber(store::Connection& db, const RuleSubject& subject,
                          const XmlDocument& values, Restart restart, const std::string& prefix,
                          const std::string& suffix, const Variant& start) {
  const std::string key = CounterKey(restart, values, prefix, suffix, OwnerWord(subject.owner));
  const std::optional<int32_t> stored =
      store::policy::CounterNumber(db, subject.owner.code, subject.owner.KindText(), key);
  return stored ? *stored : StartNumber(start);
}

void CheckLimits(const NumberingPolicy& policy, const RuleOwner& owner, int32_t first, int32_t last,
                 std::vector<std::string>& warnings) {
  const std::string rule = "the rule of " + OwnerWord(owner);
  if (policy.end && last > *policy.end) {
    throw PolicyRefusal(errc::kPastEnd,
                        NumberRange(first, last) + " of " + rule +
                            " would pass its last running number " + std::to_string(*policy.end) +
                            " (end=" + std::to_string(*policy.end) + "): nothing was issued");
  }
  if (policy.warn && last >= *policy.warn) {
    warnings.push_back(NumberRange(first, last) + " of " + rule + " reached its warning number " +
                       std::to_string(*policy.warn) +
                       (policy.end ? "; the last is " + std::to_string(*policy.end) : ""));
  }
}

PolicyIssue IssueUnderPolicy(store::Connection& db, const RuleSubject& subject,
                             const XmlDocument& values, const NumberingPolicy& policy,
                             int32_t count, bool batch, bool save, IssueCall& call) {
  std::optional<RunningNumberLease> lease;
  if (save) lease.emplace(db);
  RunningNumberLease* held = lease ? &*lease : nullptr;
  const SplitRule split = Walk(db, subject, values, policy, held);
  const RunningSegment& running = split.running;
  if (batch && !running.present) throw Error::TypeMismatch();

  std::vector<int32_t> numbers;
  std::vector<std::string> serials;
  std::vector<std::string> warnings;
  if (running.present) {
    numbers =
        Numbers(FirstNumber(db, subject, values, policy, split, count, held), running.step, count);
    if (batch && OutgrowsDigits(numbers, running.width)) return {{}, true};
    // The rule's own end is the reason to tell before the segment's width.
    CheckLimits(policy, subject.owner, numbers.front(), numbers.back(), warnings);
    if (call.guard == IssueGuard::kRefuseLoss) RefuseWrap(numbers.back(), running.width);
    serials = SerialTexts(split, numbers);
  } else {
    serials.assign(static_cast<std::size_t>(count), split.prefix);
  }
  AppendCheckCharacters(policy, serials);
  if (held && !held->open()) held->Begin(subject.owner);
  store::Connection& reader = held ? held->Writer() : db;
  if (policy.unique) RefuseRepeats(reader, subject.owner, serials);
  if (held) {
    if (policy.Journals()) {
      Record(held->Writer(), subject, values, policy, serials, numbers, running.present,
             call.user ? call.user() : std::string());
    }
    if (policy.restart == Restart::kNever && running.present) {
      held->Advance(std::to_string(CheckedAdd(numbers.back(), running.step)));
    } else {
      held->Commit();
    }
  }
  call.notes.warnings = std::move(warnings);
  return {std::move(serials), false};
}

}  // namespace quillet::generation
