// Rules as the tool reads and writes them through the component: an owner,
// a name, the next running number and segments in the segment notation's
// terms.
#ifndef QUILLET_APPS_RULE_STORE_H_
#define QUILLET_APPS_RULE_STORE_H_

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/domain_session.h"
#include "apps/owner_notation.h"
#include "apps/segment_notation.h"
#include "quillet/quillet.h"
#include "quillet/xml_document.h"

namespace quillet::apps {

struct Rule {
  RuleOwner owner;
  std::string owner_name;
  std::string name;
  std::string next_number;  // SNrulemain.cnumber as text; "" when empty or null
  std::vector<Segment> segments;
};

// The owner's rule (GetInvBatchRulesrv), or nullopt when the owner has no
// rule header. Raises quillet::Error.
std::optional<Rule> ReadRule(clsQuillet& component, const RuleOwner& owner);

// ReadRule, with the rule's numbering policies set on its running-number
// segment (read on the session's own connection). Raises quillet::Error.
std::optional<Rule> ReadRuleWithPolicy(DomainSession& session, const RuleOwner& owner);

// The rule's running number policy in words: "from N every month" (year,
// day; "for each prefix") for a rule that restarts its counters, else the
// stored next running number, or `none` when it has none.
std::string NextNumberText(const Rule& rule, const std::string& none);

// The rule document SaveSNRulesrv reads: the owner's name on the root, one
// `row` per segment with its seven attributes in the order grade, type,
// format, width, pad sign, fill sign, step; the running number's row then
// carries the policies that are on (restart, end, warn, journal, unique).
std::shared_ptr<XmlDocument> RuleDocument(const std::string& owner_name,
                                          const std::vector<Segment>& segments);

// Saves the rule (SaveSNRulesrv). Raises ToolFailure with the component's
// message when the name belongs to another owner's rule, quillet::Error for
// any other failure.
void SaveRule(clsQuillet& component, const Rule& rule);

// Deletes the rule (DelSNRulesrv): its header and the segments of its name.
void DeleteRule(clsQuillet& component, const Rule& rule);

// The owner's stored running number (GetmaxNumbersrv) as text; "" for none.
std::string ReadNextNumber(clsQuillet& component, const RuleOwner& owner);

// Overwrites the owner's running number (SavemaxNumbersrv).
void WriteNextNumber(clsQuillet& component, const RuleOwner& owner, const std::string& number);

}  // namespace quillet::apps

#endif  // QUILLET_APPS_RULE_STORE_H_
