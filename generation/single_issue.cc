// One serial number, advancing the stored running number when asked to save.
#include "generation/single_issue.h"

#include <cstdint>

#include "core/runtime_errors.h"
#include "core/text_functions.h"
#include "generation/policy_issue.h"
#include "generation/rule_evaluation.h"
#include "generation/running_number_lease.h"

namespace quillet::generation {
namespace {

// A guarded issue from the running number read with the rule, which is
// stored advanced only if it is still the one stored, after the whole rule
// was walked: nothing is taken for a refusal or a failed segment. nullopt
// when the number moved meanwhile or cannot be compared (nothing is taken
// then either).
std::optional<std::string> GuardedFromReadNumber(store::Connection& reader,
                                                 const XmlDocument& values,
                                                 const RuleSubject& subject,
                                                 RunningNumberLease& lease) {
  if (!subject.facts) return std::nullopt;
  std::optional<std::string> read;
  std::optional<std::string> next;
  const auto running = [&](const RunningNumber& number) {
    const int32_t value = number.stored.ToInt32();
    const std::string width = FieldText(number.segment.Field("iformatlength"));
    RefuseWrap(value, width);
    next = std::to_string(CheckedAdd(value, RunningStep(number.segment.Field("isteplength"))));
    return PatchValue(std::to_string(value), width, "0");
  };
  const std::optional<WalkedRule> walked =
      WalkRule(reader, values, subject, running, NumberReadWithRule(subject, read));
  if (!walked) return std::string();
  if (!next) return walked->text;  // no running number: nothing to store
  if (!read || !lease.AdvanceFrom(subject.owner, *read, *next)) return std::nullopt;
  return walked->text;
}

std::string Issue(store::Connection& db, Issued<std::string>& issued,
                  const std::shared_ptr<XmlDocument>& values, bool save, IssueCall& call) {
  // Saving reads the number under the lease, so the value read is the one
  // advanced, whoever else issues at the same time; on SQLite the rule is
  // read on the lease's connection too (see RunningNumberLease::Reader).
  std::optional<RunningNumberLease> lease;
  if (save) lease.emplace(db);
  store::Connection& reader = lease ? lease->Reader(db) : db;
  const std::optional<RuleSubject> subject =
      ResolveSubject(reader, values, issued.item_code, &issued.search, &issued.rule_name);
  if (!subject) return {};
  if (const std::optional<NumberingPolicy> policy = PolicyOf(reader, *subject)) {
    // The policy's issue takes its own writer from the pool.
    if (lease) lease->Release();
    return IssueUnderPolicy(db, *subject, *values, *policy, 1, false, save, call).serials.front();
  }
  if (save && call.guard == IssueGuard::kRefuseLoss) {
    if (std::optional<std::string> text =
            GuardedFromReadNumber(reader, *values, *subject, *lease)) {
      return *text;
    }
  }
  HeaderNumberReader read_number;
  if (save) {
    read_number = [&](const RuleOwner& owner, const RecordSet& segment) {
      // A claim advances the number as it reads it: a guarded issue reads
      // first, so that what it refuses is never used up.
      if (call.guard == IssueGuard::kRefuseLoss) return lease->Read(owner);
      return lease->Claim(owner, RunningStep(segment.Field("isteplength")));
    };
  }
  const auto running = [&](const RunningNumber& number) {
    const int32_t value = number.stored.ToInt32();
    if (call.guard == IssueGuard::kRefuseLoss) {
      RefuseWrap(value, FieldText(number.segment.Field("iformatlength")));
    }
    std::string text =
        PatchValue(std::to_string(value), FieldText(number.segment.Field("iformatlength")), "0");
    if (save) {
      const int32_t next = CheckedAdd(value, RunningStep(number.segment.Field("isteplength")));
      lease->Advance(std::to_string(next));
    }
    return text;
  };
  const std::optional<WalkedRule> walked =
      WalkRule(reader, *values, *subject, running, read_number);
  return walked ? walked->text : std::string();
}

}  // namespace

Issued<std::string> IssueNumber(store::Connection& db, const std::shared_ptr<XmlDocument>& values,
                                bool save, const UserNameSource& user, IssueGuard guard) {
  Issued<std::string> issued;
  IssueCall call{user, {}, guard};
  try {
    issued.value = Issue(db, issued, values, save, call);
  } catch (const PolicyRefusal& refusal) {
    call.notes.refusal = refusal;
  } catch (const std::exception&) {
    // Every failure is the empty text; a number saved before it stays saved.
  }
  issued.notes = std::move(call.notes);
  return issued;
}

}  // namespace quillet::generation
