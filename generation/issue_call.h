// The caller of an issuing method as the numbering policies see it.
#ifndef QUILLET_GENERATION_ISSUE_CALL_H_
#define QUILLET_GENERATION_ISSUE_CALL_H_

#include <functional>
#include <string>

#include "quillet/issue_notes.h"

namespace quillet::generation {

// Who issues, asked only when an issue is recorded in the journal (a rule
// without a journal never asks), and the notes the issue leaves: the method
// fills `notes` afresh.
struct IssueCall {
  std::function<std::string()> user;
  IssueNotes notes;
};

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_ISSUE_CALL_H_
