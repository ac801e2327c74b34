// The counter a rule that restarts its running number issues from.
#ifndef QUILLET_GENERATION_COUNTER_KEY_H_
#define QUILLET_GENERATION_COUNTER_KEY_H_

#include <string>

#include "quillet/numbering_policy.h"
#include "quillet/xml_document.h"

namespace quillet::generation {

// The key of the counter for one document line: the year ("2024"), month
// ("2024-05") or day ("2024-05-06") of the value document's date, or the
// text before and after the running number, joined by U+001F. The empty
// text for Restart::kNever. Raises errc::kNoRestartKey, naming `rule`, when
// a period is asked for and the value document has no date that reads as one.
std::string CounterKey(Restart restart, const XmlDocument& values, const std::string& prefix,
                       const std::string& suffix, const std::string& rule);

// The value of the value document's date row (itype 0); empty without one.
std::string DocumentDate(const XmlDocument& values);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_COUNTER_KEY_H_
