// getSNbatch: consecutive serial numbers from one evaluation of the rule.
#include <cstdint>
#include <limits>

#include "generation/methods.h"
#include "generation/rule_evaluation.h"
#include "generation/rule_parts.h"
#include "generation/running_number_store.h"
#include "generation/runtime_errors.h"
#include "generation/text_functions.h"
#include "service/mod_language.h"

namespace quillet::generation {
namespace {

constexpr const char* kDeclaration = "<?xml version='1.0' encoding='utf-8'?>";
constexpr const char* kDigitLimitKey = "Vell.SO.SNumber.00008";

// The serial list of a failed batch: `count` empty entries.
void LoadFallback(XmlDocument& result, int16_t count) {
  std::string list = "<SN>";
  for (int16_t i = 0; i < count; ++i) list += "<R sn='' />";
  result.loadXML(kDeclaration + list + "</SN>");
}

int16_t CountOf(const XmlDocument& values) {
  const std::optional<XmlNode> root = values.documentElement();
  if (!root) RaiseObjectNotSet();
  const std::optional<std::string> count = root->getAttribute("count");
  return count ? Variant(*count).ToInt16() : Variant::Null().ToInt16();
}

std::string AttributeText(const XmlNode& root, const char* name) {
  return root.getAttribute(name).value_or("");
}

// One attempt; RunningNumberTaken passes through to start it again.
std::shared_ptr<XmlDocument> BatchOnce(store::Connection& db, std::string& cinvcode,
                                       const std::shared_ptr<XmlDocument>& values,
                                       std::string& sErr, bool save, bool last_attempt) {
  auto result = std::make_shared<XmlDocument>();
  int16_t count = 0;
  try {
    const std::optional<RuleOwner> owner = GetRuleOwner(db, ItemCodeOf(values));
    if (!owner) {
      sErr.clear();
      LoadFallback(*result, count);
      return result;
    }
    count = CountOf(*values);
    const RuleParts parts = EvaluateRuleParts(db, cinvcode, values, owner);
    if (parts.document->xml().empty()) {
      sErr.clear();
      LoadFallback(*result, count);
      return result;
    }

    const XmlNode root = *parts.document->documentElement();
    const std::string prefix = AttributeText(root, "前缀");
    const std::string suffix = AttributeText(root, "后缀");
    const std::string step = AttributeText(root, "步长");
    const std::string digits = AttributeText(root, "流水位数");
    std::string number_text = AttributeText(root, "最大流水");
    int32_t number = Variant(number_text).ToInt32();

    std::string list = "<SN>";
    for (int32_t i = 1; i <= count; ++i) {
      if (GetByteLen(std::to_string(number)) > Variant(digits).ToInt16()) {
        // Nothing is saved and nothing is loaded.
        sErr = modLanguage::GetResString(kDigitLimitKey);
        return result;
      }
      list += "<R sn='" + prefix + PatchValue(number_text, digits, "0") + suffix + "' />";
      number = CheckedAdd(number, Variant(step).ToInt32());
      number_text = std::to_string(number);
    }
    // The 16-bit loop counter passes its range after the last entry.
    if (count == std::numeric_limits<int16_t>::max()) RaiseOverflow();

    if (save) StoreNextNumber(db, *owner, parts.stored_text, number_text, last_attempt);
    // Entries go in as they stand; one that is not well-formed leaves the
    // result empty.
    result->loadXML(kDeclaration + list + "</SN>");
    return result;
  } catch (const std::exception& error) {
    sErr = error.what();
    LoadFallback(*result, count);
    return result;
  }
}

}  // namespace

std::shared_ptr<XmlDocument> getSNbatch(store::Connection& db, std::string& cinvcode,
                                        const std::shared_ptr<XmlDocument>& DomValue,
                                        std::string& sErr, bool bSave) {
  return IssueWithRetry([&](bool last_attempt) {
    return BatchOnce(db, cinvcode, DomValue, sErr, bSave, last_attempt);
  });
}

}  // namespace quillet::generation
