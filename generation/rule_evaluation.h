// Rule evaluation: the walk over a rule's segments that the rule's parts and
// a single issue share. They differ only at the running-number segment, which
// each handles with its own RunningNumberHandler.
#ifndef QUILLET_GENERATION_RULE_EVALUATION_H_
#define QUILLET_GENERATION_RULE_EVALUATION_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "generation/issue_facts.h"
#include "generation/rule_owner.h"
#include "generation/rule_search.h"
#include "quillet/recordset.h"
#include "quillet/variant.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

// The item of a value document and the rule owner that applies to it; with
// the facts read when it was resolved, which the issue reads from instead of
// asking the database again.
struct RuleSubject {
  std::string item_code;
  RuleOwner owner;
  std::shared_ptr<const IssueFacts> facts;
};

// The item code of the value document's "cinvcode" row. Raises
// errc::kObjectNotSet when the document, the row or its value is missing.
std::string ItemCodeOf(const std::shared_ptr<XmlDocument>& values);

// Reads the item code (and sets `item_code` at once, so that it stays read
// whatever fails later), then reads the issue's facts in one query and
// resolves its rule owner from them; nullopt when no rule applies. With
// `search`, the search for the owner is told there (and the found rule's
// name in `rule_name`) as soon as the facts are read, whatever fails later.
// Raises as ItemCodeOf and GetRuleOwner do.
std::optional<RuleSubject> ResolveSubject(store::Connection& db,
                                          const std::shared_ptr<XmlDocument>& values,
                                          std::optional<std::string>& item_code,
                                          RuleSearch* search = nullptr,
                                          std::string* rule_name = nullptr);

// The running-number segment as the walk meets it.
struct RunningNumber {
  const RecordSet& segment;  // positioned on the running-number segment row
  const Variant& stored;     // SNrulemain.cnumber of the owner, as read
};

// How far one issue advances the running number: the segment's isteplength,
// where a null or zero step advances by one. Raises for a step that is not a
// 32-bit whole number.
int32_t RunningStep(const Variant& step);

// Answers the running-number segment's text. May raise to fail the walk.
using RunningNumberHandler = std::function<std::string(const RunningNumber&)>;

// A walked rule: the whole text and where the running number sits in it.
struct WalkedRule {
  std::string text;
  bool has_running_number = false;
  std::string prefix;        // the text before the running number
  std::string running_text;  // the running number's own text
  std::size_t position = 0;  // characters of the text up to the running number's end
};

// Reads the owner's SNrulemain.cnumber (a record set without rows when the
// header is gone) for the running-number segment `segment`.
using HeaderNumberReader =
    std::function<std::shared_ptr<RecordSet>(const RuleOwner&, const RecordSet& segment)>;

// Reads the owner's cnumber from the facts read with the rule and keeps its
// text in `read` (left nullopt for a null number): for an issue that stores
// its next number only if the number read is still the one stored. Needs
// `subject.facts`; `subject` and `read` must outlive the reader.
HeaderNumberReader NumberReadWithRule(const RuleSubject& subject, std::optional<std::string>& read);

// Walks the owner's segments in ascending igrade, appending each segment's
// text; at the running-number segment reads the owner's cnumber, through
// `read_number` when given (else on the service connection), and asks
// `running`. nullopt when the owner has no segments. Raises when a segment
// fails, when the owner's header is gone at the running number, and at a
// second running-number segment.
std::optional<WalkedRule> WalkRule(store::Connection& db, const XmlDocument& values,
                                   const RuleSubject& subject, const RunningNumberHandler& running,
                                   const HeaderNumberReader& read_number = nullptr);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_RULE_EVALUATION_H_
