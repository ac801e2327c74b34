// The parts of an item's rule, read only.
#include "generation/rule_parts.h"

#include <cstdint>

#include "core/runtime_errors.h"
#include "core/utf8.h"
#include "generation/policy_issue.h"
#include "generation/rule_evaluation.h"
#include "generation/segment_text.h"

namespace quillet::generation {
namespace {

// The attributes' values are inserted as they stand: a value holding an
// apostrophe, "<" or "&" makes the text fail to load, which callers rely on.
std::string PartsText(const WalkedRule& walked, const std::string& suffix, const std::string& step,
                      const std::string& stored, const std::string& digits) {
  return "<?xml version='1.0' encoding='utf-8'?><return 前缀='" + walked.prefix + "' 流水='" +
         walked.running_text + "' 后缀='" + suffix + "' 步长='" + step + "' 最大流水='" + stored +
         "' 流水位数='" + digits + "' err='0' />";
}

// Not well-formed (no blank before err), so loading it leaves the document
// empty: a failed evaluation is told by the empty document alone.
constexpr const char* kFailureText =
    "<?xml version='1.0' encoding='utf-8'?><return 前缀='' 流水='' 后缀='' 步长='' 最大流水='' "
    "流水位数=''err='1' />";

// The position is a 16-bit whole number, and the suffix starts after it.
constexpr std::size_t kLongestPosition = 32766;

// The running number as the parts report it.
struct RunningParts {
  std::string step, stored, digits;
  Variant start;
};

// Under a numbering policy: the counter of the line in place of the
// header's number, then the end and warning number checked.
void ApplyPolicy(store::Connection& db, const RuleSubject& subject, const XmlDocument& values,
                 const NumberingPolicy& policy, WalkedRule& walked, const std::string& suffix,
                 RunningParts& running, IssueCall& call) {
  int32_t value = Variant(running.stored).ToInt32();
  if (policy.restart != Restart::kNever) {
    value = NextCounterNumber(db, subject, values, policy.restart, walked.prefix, suffix,
                              running.start);
    running.stored = std::to_string(value);
    walked.running_text =
        RunningNumberText(value, running.stored, Variant(running.digits).ToInt16());
    walked.text = walked.prefix + walked.running_text + suffix;
    walked.position = utf8::Length(walked.prefix + walked.running_text);
  }
  CheckLimits(policy, subject.owner, value, value, call.notes.warnings);
}

RuleSubject SubjectOf(store::Connection& db, std::optional<std::string>& item_code,
                      const std::shared_ptr<XmlDocument>& values,
                      const std::optional<RuleSubject>& known, IssueCall* call) {
  if (known) {
    item_code = known->item_code;
    return *known;
  }
  std::optional<RuleSubject> resolved =
      call ? ResolveSubject(db, values, item_code, call->search, call->rule_name)
           : ResolveSubject(db, values, item_code);
  if (!resolved) throw Error(errc::kNoCurrentRecord, "No rule applies to the item");
  return *std::move(resolved);
}

// Evaluates and loads the parts; raises on every failure.
void Evaluate(store::Connection& db, std::optional<std::string>& item_code,
              const std::shared_ptr<XmlDocument>& values, const std::optional<RuleSubject>& known,
              IssueCall* call, const HeaderNumberReader& read_number, XmlDocument& parts) {
  const RuleSubject subject = SubjectOf(db, item_code, values, known, call);
  const std::optional<NumberingPolicy> policy = call ? PolicyOf(db, subject) : std::nullopt;
  const bool counted = policy && policy->restart != Restart::kNever;

  RunningParts numbers;
  const auto running = [&](const RunningNumber& number) {
    numbers.step = FieldText(number.segment.Field("isteplength"));
    const int32_t value = number.stored.ToInt32();
    numbers.stored = std::to_string(value);
    numbers.digits = FieldText(number.segment.Field("iformatlength"));
    numbers.start = number.segment.Field("cdatasrcformat");
    return RunningNumberText(value, FieldText(number.stored),
                             number.segment.Field("iformatlength").ToInt16());
  };
  std::optional<WalkedRule> walked =
      WalkRule(db, *values, subject, running,
               counted ? HeaderNumberReader(UnusedHeaderNumber) : read_number);
  if (!walked) throw Error(errc::kNoCurrentRecord, "The rule has no segments");
  std::string suffix(
      std::string_view(walked->text).substr(utf8::OffsetOf(walked->text, walked->position)));
  if (policy && walked->has_running_number) {
    ApplyPolicy(db, subject, *values, *policy, *walked, suffix, numbers, *call);
  }
  if (walked->has_running_number && walked->position > kLongestPosition) throw Error::Overflow();
  parts.loadXML(PartsText(*walked, suffix, numbers.step, numbers.stored, numbers.digits));
}

}  // namespace

std::shared_ptr<XmlDocument> EvaluateRuleParts(store::Connection& db,
                                               std::optional<std::string>& item_code,
                                               const std::shared_ptr<XmlDocument>& values,
                                               const std::optional<RuleSubject>& known,
                                               IssueCall* call,
                                               const HeaderNumberReader& read_number) {
  auto parts = std::make_shared<XmlDocument>();
  try {
    Evaluate(db, item_code, values, known, call, read_number, *parts);
  } catch (const std::exception& failure) {
    if (call) {
      call->notes.warnings.clear();
      if (const auto* refusal = dynamic_cast<const PolicyRefusal*>(&failure)) {
        call->notes.refusal = *refusal;
      }
    }
    parts->loadXML(kFailureText);
  }
  return parts;
}

Issued<std::shared_ptr<XmlDocument>> ReadRuleParts(store::Connection& db,
                                                   const std::shared_ptr<XmlDocument>& values) {
  Issued<std::shared_ptr<XmlDocument>> parts;
  IssueCall call{nullptr, {}, IssueGuard::kNone, &parts.search, &parts.rule_name};
  parts.value = EvaluateRuleParts(db, parts.item_code, values, std::nullopt, &call);
  parts.notes = std::move(call.notes);
  return parts;
}

}  // namespace quillet::generation
