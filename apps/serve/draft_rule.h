// A rule as it is being edited, evaluated for one sample document line
// without being saved: the text each segment would add to the serial number
// and, for a segment that adds none, why. Nothing is written and no running
// number is used up.
#ifndef QUILLET_APPS_SERVE_DRAFT_RULE_H_
#define QUILLET_APPS_SERVE_DRAFT_RULE_H_

#include <optional>
#include <string>
#include <vector>

#include "apps/domain_session.h"
#include "apps/line_values.h"
#include "apps/owner_notation.h"
#include "apps/segment_notation.h"

namespace quillet::apps::serve {

// Why a segment, or the whole draft, gives no text. A client words the
// cause in its own language; `reason` words it in English.
struct DraftFailure {
  // "missing_value"      a line value is empty and the segment has no fill sign
  // "unknown_department" the department is not in the department archive
  // "no_item"            the item or class source without a sample item
  // "number_not_whole"   the stored running number is not a whole number
  // "second_number"      a running number after the first
  // "no_segments"        the draft has none
  // "failed"             the evaluation raised (the reason is its description)
  std::string cause;
  std::string reason;
};

struct DraftSegment {
  std::optional<std::string> text;      // nullopt when the segment fails
  std::optional<DraftFailure> failure;  // set when text is not
};

struct DraftEvaluation {
  std::vector<DraftSegment> segments;  // one per segment of the draft, in order
  // The running number the serial number would carry: the owner's stored one,
  // or the draft's start for an owner without a rule.
  std::string next_number;
  // Whether the running number's digits fit the width of its segment; a
  // number that does not is cut, so numbers repeat.
  bool number_fits = true;
  std::string serial_number;            // "" when `failure` is set
  std::optional<DraftFailure> failure;  // the first failing segment's, or the draft's
};

// Evaluates `segments` as the issuing methods would for `owner`'s rule and
// the line, reading the mappings, coding rules and the stored running number.
// Raises quillet::Error when the database cannot be used.
DraftEvaluation EvaluateDraft(DomainSession& session, const RuleOwner& owner,
                              const std::vector<Segment>& segments, const LineValues& line);

}  // namespace quillet::apps::serve

#endif  // QUILLET_APPS_SERVE_DRAFT_RULE_H_
