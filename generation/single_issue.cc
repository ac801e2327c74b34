// getSNumber: one serial number, advancing the stored running number when
// asked to save.
#include <cstdint>

#include "core/runtime_errors.h"
#include "core/text_functions.h"
#include "generation/methods.h"
#include "generation/policy_issue.h"
#include "generation/rule_evaluation.h"
#include "generation/running_number_lease.h"

namespace quillet::generation {
namespace {

std::string Issue(store::Connection& db, std::string& cinvcode,
                  const std::shared_ptr<XmlDocument>& values, bool save, IssueCall& call) {
  const std::optional<RuleSubject> subject = ResolveSubject(db, values, cinvcode);
  if (!subject) return {};
  if (const std::optional<NumberingPolicy> policy = PolicyOf(db, subject->owner)) {
    return IssueUnderPolicy(db, *subject, *values, *policy, 1, false, save, call).serials.front();
  }
  // Saving reads the number under the lease, so the value read is the one
  // advanced, whoever else issues at the same time.
  std::optional<RunningNumberLease> lease;
  HeaderNumberReader read_number;
  if (save) {
    lease.emplace(db);
    read_number = [&](const RuleOwner& owner, const RecordSet& segment) {
      return lease->Claim(owner, RunningStep(segment.Field("isteplength")));
    };
  }
  const auto running = [&](const RunningNumber& number) {
    const int32_t value = number.stored.ToInt32();
    std::string text =
        PatchValue(std::to_string(value), FieldText(number.segment.Field("iformatlength")), "0");
    if (save) {
      const int32_t next = CheckedAdd(value, RunningStep(number.segment.Field("isteplength")));
      lease->Advance(std::to_string(next));
    }
    return text;
  };
  const std::optional<WalkedRule> walked = WalkRule(db, *values, *subject, running, read_number);
  return walked ? walked->text : std::string();
}

}  // namespace

std::string getSNumber(store::Connection& db, std::string& cinvcode,
                       const std::shared_ptr<XmlDocument>& DomValue, bool bSave, IssueCall& call) {
  call.notes = {};
  try {
    return Issue(db, cinvcode, DomValue, bSave, call);
  } catch (const PolicyRefusal& refusal) {
    call.notes.refusal = refusal;
    return {};
  } catch (const std::exception&) {
    // Every failure is the empty text; a number saved before it stays saved.
    return {};
  }
}

}  // namespace quillet::generation
