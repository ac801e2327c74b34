// Consecutive serial numbers from one evaluation of the rule.
#include "generation/batch_issue.h"

#include <cstdint>
#include <limits>

#include "core/mod_language.h"
#include "core/runtime_errors.h"
#include "core/text_functions.h"
#include "generation/policy_issue.h"
#include "generation/rule_evaluation.h"
#include "generation/rule_parts.h"
#include "generation/running_number_lease.h"

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
  if (!root) throw Error::ObjectNotSet();
  const std::optional<std::string> count = root->getAttribute("count");
  return count ? Variant(*count).ToInt16() : Variant::Null().ToInt16();
}

std::string AttributeText(const XmlNode& root, const char* name) {
  return root.getAttribute(name).value_or("");
}

// The entries of `count` serial numbers from the rule's parts, "<SN>" first;
// nullopt when a number outgrows the digits. `next` receives the number
// that the next issue will use.
std::optional<std::string> Entries(const XmlNode& parts, int16_t count, std::string& next) {
  const std::string prefix = AttributeText(parts, "前缀");
  const std::string suffix = AttributeText(parts, "后缀");
  const std::string step = AttributeText(parts, "步长");
  const std::string digits = AttributeText(parts, "流水位数");
  next = AttributeText(parts, "最大流水");
  int32_t number = Variant(next).ToInt32();

  std::string list = "<SN>";
  for (int32_t i = 1; i <= count; ++i) {
    if (GetByteLen(std::to_string(number)) > Variant(digits).ToInt16()) return std::nullopt;
    list += "<R sn='" + prefix + PatchValue(next, digits, "0") + suffix + "' />";
    number = CheckedAdd(number, Variant(step).ToInt32());
    next = std::to_string(number);
  }
  // The 16-bit loop counter passes its range after the last entry.
  if (count == std::numeric_limits<int16_t>::max()) throw Error::Overflow();
  return list;
}

// An attribute value between apostrophes.
std::string Escaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (c == '&') {
      escaped += "&amp;";
    } else if (c == '<') {
      escaped += "&lt;";
    } else if (c == '\'') {
      escaped += "&apos;";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

// The batch of a rule with a numbering policy; its serial numbers are
// escaped, as they are saved (and journaled) before the list is made.
void BatchUnderPolicy(store::Connection& db, const RuleSubject& subject, const XmlDocument& values,
                      const NumberingPolicy& policy, int16_t count, bool save, IssueCall& call,
                      std::optional<std::string>& error, XmlDocument& result) {
  std::string list = "<SN>";
  if (count > 0) {
    const PolicyIssue issued =
        IssueUnderPolicy(db, subject, values, policy, count, true, save, call);
    if (issued.digits_exceeded) {
      error = modLanguage::GetResString(kDigitLimitKey);
      return;
    }
    for (const std::string& serial : issued.serials) list += "<R sn='" + Escaped(serial) + "' />";
  }
  result.loadXML(kDeclaration + list + "</SN>");
}

// A batch's list from one evaluation of its rule.
struct BatchList {
  bool has_rule = false;            // false: the rule gives no serial number
  std::optional<std::string> list;  // nullopt: a number outgrew its digits
  std::string next;                 // the number the next issue will use
};

BatchList ListOfRule(store::Connection& db, std::optional<std::string>& item_code,
                     const std::shared_ptr<XmlDocument>& values, const RuleSubject& subject,
                     int16_t count, IssueGuard guard, const HeaderNumberReader& read_number) {
  const auto parts = EvaluateRuleParts(db, item_code, values, subject, nullptr, read_number);
  BatchList batch;
  if (parts->xml().empty()) return batch;
  batch.has_rule = true;
  const std::optional<std::string> entries = Entries(*parts->documentElement(), count, batch.next);
  if (!entries) return batch;
  batch.list = kDeclaration + *entries + "</SN>";
  if (guard == IssueGuard::kRefuseLoss) RefuseUnreadableList(*batch.list);
  return batch;
}

// The batch made from the running number read with the rule, stored only if
// that number is still the one stored, in one statement; nullopt when the
// rule has no facts or no running number, or another caller moved the number
// meanwhile (nothing is saved then).
std::optional<BatchList> BatchFromReadNumber(store::Connection& reader,
                                             std::optional<std::string>& item_code,
                                             const std::shared_ptr<XmlDocument>& values,
                                             const RuleSubject& subject, int16_t count,
                                             IssueGuard guard, RunningNumberLease& lease) {
  if (!subject.facts) return std::nullopt;
  std::optional<std::string> read;
  BatchList batch = ListOfRule(reader, item_code, values, subject, count, guard,
                               NumberReadWithRule(subject, read));
  if (!read) return std::nullopt;  // the locked read settles a rule that read no number
  if (!batch.list) return batch;
  try {
    if (!lease.AdvanceFrom(subject.owner, *read, batch.next)) return std::nullopt;
  } catch (const std::exception&) {
    // As a failure of the read under the lease: the rule gives no number.
    return BatchList{};
  }
  return batch;
}

// The batch of a rule without a numbering policy, loaded into `result`; false
// when the rule gives no serial number. A running number that outgrows its
// digits leaves `result` empty and says so in `error`.
bool BatchOfRule(store::Connection& db, store::Connection& reader,
                 std::optional<RunningNumberLease>& lease, std::optional<std::string>& item_code,
                 const std::shared_ptr<XmlDocument>& values, const RuleSubject& subject,
                 int16_t count, IssueGuard guard, std::optional<std::string>& error,
                 XmlDocument& result) {
  std::optional<BatchList> batch;
  if (lease) {
    batch = BatchFromReadNumber(reader, item_code, values, subject, count, guard, *lease);
    if (!batch) {
      // Read again under the lease, which holds the number from its read in
      // the evaluation to its update, so no other caller issues from it
      // meanwhile.
      const HeaderNumberReader read_number = [&](const RuleOwner& locked, const RecordSet&) {
        return lease->Read(locked);
      };
      batch = ListOfRule(db, item_code, values, subject, count, guard, read_number);
      if (batch->list) lease->Advance(batch->next);
    }
  } else {
    batch = ListOfRule(db, item_code, values, subject, count, guard, nullptr);
  }
  if (!batch->has_rule) return false;
  if (!batch->list) {
    // Nothing is saved and nothing is loaded.
    error = modLanguage::GetResString(kDigitLimitKey);
    return true;
  }
  // Entries go in as they stand; one that is not well-formed leaves the
  // result empty.
  result.loadXML(*batch->list);
  return true;
}

// The batch's list (or its message) in `batch`; false when no rule applies
// or the rule gives no serial number. `count` is set once it is read.
bool Batch(store::Connection& db, const std::shared_ptr<XmlDocument>& values, bool save,
           IssueCall& call, int16_t& count, IssuedBatch& batch) {
  std::optional<RunningNumberLease> lease;
  if (save) lease.emplace(db);
  store::Connection& reader = lease ? lease->Reader(db) : db;
  std::optional<std::string> item_code;
  const std::optional<RuleSubject> resolved =
      ResolveSubject(reader, values, item_code, &batch.search, &batch.rule_name);
  if (!resolved) return false;
  count = CountOf(*values);
  const RuleSubject& subject = *resolved;
  if (const std::optional<NumberingPolicy> policy = PolicyOf(reader, subject)) {
    // The policy's issue takes its own writer from the pool.
    if (lease) lease->Release();
    batch.item_code = item_code;
    BatchUnderPolicy(db, subject, *values, *policy, count, save, call, batch.error, *batch.value);
    return true;
  }
  return BatchOfRule(db, reader, lease, batch.item_code, values, subject, count, call.guard,
                     batch.error, *batch.value);
}

}  // namespace

IssuedBatch IssueBatch(store::Connection& db, const std::shared_ptr<XmlDocument>& values, bool save,
                       const UserNameSource& user, IssueGuard guard) {
  IssuedBatch batch;
  batch.value = std::make_shared<XmlDocument>();
  IssueCall call{user, {}, guard};
  int16_t count = 0;
  const auto fail = [&](std::string error) {
    batch.error = std::move(error);
    LoadFallback(*batch.value, count);
  };
  try {
    if (!Batch(db, values, save, call, count, batch)) fail("");
  } catch (const PolicyRefusal& refusal) {
    call.notes.refusal = refusal;
    fail(refusal.what());
  } catch (const std::exception& error) {
    fail(error.what());
  }
  batch.notes = std::move(call.notes);
  return batch;
}

}  // namespace quillet::generation
