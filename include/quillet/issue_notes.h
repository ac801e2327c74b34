// What an issuing call tells besides its result, under the numbering
// policies of the item's rule.
#ifndef QUILLET_ISSUE_NOTES_H_
#define QUILLET_ISSUE_NOTES_H_

#include <optional>
#include <string>
#include <vector>

#include "quillet/error.h"

namespace quillet {

// Both parts stay empty for a rule without policies.
struct IssueNotes {
  // One line per warning: a running number at or past the rule's warning
  // number. Only a call that gave its result carries warnings.
  std::vector<std::string> warnings;
  // The error a policy refused the issue with (errc::kPastEnd,
  // errc::kIssuedBefore, errc::kNoRestartKey); the call answered empty.
  std::optional<Error> refusal;
};

}  // namespace quillet

#endif  // QUILLET_ISSUE_NOTES_H_
