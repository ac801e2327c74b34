// getSNrule: the parts of an item's rule, read only.
#include "generation/rule_parts.h"

#include <cstdint>

#include "core/runtime_errors.h"
#include "core/utf8.h"
#include "generation/methods.h"
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

// Evaluates and loads the parts; raises on every failure.
void Evaluate(store::Connection& db, std::string& cinvcode,
              const std::shared_ptr<XmlDocument>& values,
              const std::optional<RuleOwner>& known_owner, const HeaderNumberReader& read_number,
              XmlDocument& parts) {
  RuleSubject subject;
  if (known_owner) {
    subject = {ItemCodeOf(values), *known_owner};
    cinvcode = subject.item_code;
  } else {
    std::optional<RuleSubject> resolved = ResolveSubject(db, values, cinvcode);
    if (!resolved) throw Error(errc::kNoCurrentRecord, "No rule applies to the item");
    subject = *std::move(resolved);
  }

  std::string step, stored, digits;
  const auto running = [&](const RunningNumber& number) {
    step = FieldText(number.segment.Field("isteplength"));
    const int32_t value = number.stored.ToInt32();
    stored = std::to_string(value);
    digits = FieldText(number.segment.Field("iformatlength"));
    return RunningNumberText(value, FieldText(number.stored),
                             number.segment.Field("iformatlength").ToInt16());
  };
  const std::optional<WalkedRule> walked = WalkRule(db, *values, subject, running, read_number);
  if (!walked) throw Error(errc::kNoCurrentRecord, "The rule has no segments");
  if (walked->has_running_number && walked->position > kLongestPosition) RaiseOverflow();

  const std::string suffix(
      std::string_view(walked->text).substr(utf8::OffsetOf(walked->text, walked->position)));
  parts.loadXML(PartsText(*walked, suffix, step, stored, digits));
}

}  // namespace

std::shared_ptr<XmlDocument> EvaluateRuleParts(store::Connection& db, std::string& cinvcode,
                                               const std::shared_ptr<XmlDocument>& values,
                                               const std::optional<RuleOwner>& known_owner,
                                               const HeaderNumberReader& read_number) {
  auto parts = std::make_shared<XmlDocument>();
  try {
    Evaluate(db, cinvcode, values, known_owner, read_number, *parts);
  } catch (const std::exception&) {
    parts->loadXML(kFailureText);
  }
  return parts;
}

std::shared_ptr<XmlDocument> getSNrule(store::Connection& db, std::string& cinvcode,
                                       const std::shared_ptr<XmlDocument>& DomValue) {
  return EvaluateRuleParts(db, cinvcode, DomValue, std::nullopt);
}

}  // namespace quillet::generation
