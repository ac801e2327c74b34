// What one issue reads before its write, read in one query: the candidate
// owners of the item with their segments and policies, the item's class, the
// department and their coding rules, and the mapped codes the value document
// can ask for. Nothing outlives the issue: every issue reads them afresh.
#ifndef QUILLET_GENERATION_ISSUE_FACTS_H_
#define QUILLET_GENERATION_ISSUE_FACTS_H_

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "generation/rule_owner.h"
#include "generation/rule_search.h"
#include "quillet/numbering_policy.h"
#include "quillet/recordset.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

// Thread safety: read only once made; made on the connection's thread.
class IssueFacts {
 public:
  // Reads the facts of `item_code` and the value document `values`. A
  // database without the policy table is read without policies. Raises the
  // database's errors.
  IssueFacts(store::Connection& db, const std::string& item_code, const XmlDocument& values);

  // GetRuleOwner's answer; raises as it does.
  std::optional<RuleOwner> Owner() const;

  // SearchRule's answer.
  RuleSearch Search() const;

  // The owner's policy, as PolicyOf answers it.
  std::optional<NumberingPolicy> Policy(const RuleOwner& owner) const;

  // The owner's segments in ascending igrade, as the segment query reads them.
  std::shared_ptr<RecordSet> Segments(const RuleOwner& owner) const;

  // The owner's header cnumber (no rows without the header).
  std::shared_ptr<RecordSet> HeaderNumber(const RuleOwner& owner) const;

  // The owner's rule name; empty without one.
  std::string RuleName(const RuleOwner& owner) const;

  // GetGradedCode's answer when the facts hold what it reads (nullopt when
  // they do not); raises as it does.
  std::optional<std::string> GradedCode(const std::string& code, const std::string& kind,
                                        const std::string& grade) const;

  // The mapped code of (data source type, value), the empty text without a
  // mapping; nullopt when the facts were not read for that value.
  std::optional<std::string> MappedCode(const std::string& type, const std::string& value) const;

 private:
  // The rows of `kind` whose owner is `owner` (any when nullopt), with the
  // columns picked and named as given; segments in ascending igrade.
  std::shared_ptr<RecordSet> Rows(
      int32_t kind, const std::optional<RuleOwner>& owner,
      const std::vector<std::pair<std::size_t, std::string>>& picked) const;
  bool HasHeader(const RuleOwner& owner) const;

  std::string item_code_;
  std::optional<std::string> department_;
  std::vector<std::optional<std::string>> source_values_;
  bool with_policies_ = true;
  std::shared_ptr<RecordSet> facts_;
};

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_ISSUE_FACTS_H_
