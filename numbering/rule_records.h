// Rules read from the database and written to it as the rule document the
// engine saves.
#ifndef QUILLET_NUMBERING_RULE_RECORDS_H_
#define QUILLET_NUMBERING_RULE_RECORDS_H_

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "numbering/session.h"
#include "quillet/numbering.h"
#include "quillet/xml_document.h"

namespace quillet::numbering {

// The owner's rule with its numbering policy on the running number; nullopt
// when the owner has no rule header. Raises the engine's errors, also for a
// stored value that does not read as its kind.
std::optional<Rule> ReadRule(Session& session, const RuleOwner& owner);

// Every rule, ordered as RuleHeaders orders them; one that raises while it
// is read is listed as unreadable, with the reason, unless the database
// itself failed.
RuleList ReadRules(Session& session);

// The rule document the engine saves: the owner's name on the root, one
// `row` per segment with its seven attributes in the order grade, type,
// format, width, pad sign, fill sign, step; the running number's row then
// carries the policies that are on (restart, end, warn, journal, unique).
std::shared_ptr<XmlDocument> RuleDocument(const std::string& owner_name,
                                          const std::vector<Segment>& segments);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_RULE_RECORDS_H_
