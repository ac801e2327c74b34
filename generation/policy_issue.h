// Issuing under a rule's numbering policies: counters that restart per
// period or prefix, the last running number and the warning number, the
// journal of issued serial numbers and the refusal of repeats. A rule
// without a policy never comes here; its issues run as they always have.
#ifndef QUILLET_GENERATION_POLICY_ISSUE_H_
#define QUILLET_GENERATION_POLICY_ISSUE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "generation/issue_call.h"
#include "generation/policy_refusal.h"
#include "generation/rule_evaluation.h"
#include "quillet/error.h"
#include "quillet/numbering_policy.h"
#include "quillet/variant.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

// The policy of the owner's rule; nullopt for a rule without one. Raises the
// database's error.
std::optional<NumberingPolicy> PolicyOf(store::Connection& db, const RuleOwner& owner);
// The same for a resolved subject, from its facts when it has them.
std::optional<NumberingPolicy> PolicyOf(store::Connection& db, const RuleSubject& subject);

// The header's number as a rule that restarts its running number reads it:
// a placeholder, as the number comes from a counter (a HeaderNumberReader).
std::shared_ptr<RecordSet> UnusedHeaderNumber(const RuleOwner& owner, const RecordSet& segment);

// The owner as the tool writes it: "item:CODE", "class:CODE" or "all".
std::string OwnerWord(const RuleOwner& owner);

// What an issue under a policy gave.
struct PolicyIssue {
  std::vector<std::string> serials;
  // A batch whose running number outgrew the segment's digits: nothing was
  // issued or saved.
  bool digits_exceeded = false;
};

// Issues `count` serial numbers, each followed by its check characters when
// the policy asks for them (a batch when `batch`: the digits are
// checked, and a rule without a running number gives none) from the
// subject's rule under `policy`; with `save`, in one transaction, takes them
// from the header or counter, records them in the journal when the policy
// keeps one, and commits. Adds the warnings to `call.notes` on success.
// Raises PolicyRefusal when the policy refuses (nothing saved), and what the
// walk and the database raise.
PolicyIssue IssueUnderPolicy(store::Connection& db, const RuleSubject& subject,
                             const XmlDocument& values, const NumberingPolicy& policy,
                             int32_t count, bool batch, bool save, IssueCall& call);

// The number the counter of a restarting rule gives next for the line whose
// rule text around the running number is `prefix` and `suffix`, read only;
// the segment's start number (`start`) for a counter not used yet.
int32_t NextCounterNumber(store::Connection& db, const RuleSubject& subject,
                          const XmlDocument& values, Restart restart, const std::string& prefix,
                          const std::string& suffix, const Variant& start);

// Refuses (PolicyRefusal) running numbers `first` to `last` when `last` is
// past the policy's end, and adds a warning when it has reached its warning
// number.
void CheckLimits(const NumberingPolicy& policy, const RuleOwner& owner, int32_t first, int32_t last,
                 std::vector<std::string>& warnings);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_POLICY_ISSUE_H_
