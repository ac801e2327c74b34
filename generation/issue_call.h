// An issuing operation: who calls it and what it gives back.
#ifndef QUILLET_GENERATION_ISSUE_CALL_H_
#define QUILLET_GENERATION_ISSUE_CALL_H_

#include <functional>
#include <optional>
#include <string>

#include "generation/issue_guard.h"
#include "generation/rule_search.h"
#include "quillet/issue_notes.h"

namespace quillet::generation {

// The name of whoever issues, asked only when an issue is recorded in the
// journal (a rule without a journal never asks). May be empty.
using UserNameSource = std::function<std::string()>;

// The caller of an issue as the numbering policies see it, and the notes the
// issue leaves: each operation fills `notes` afresh.
struct IssueCall {
  UserNameSource user;
  IssueNotes notes;
  IssueGuard guard = IssueGuard::kNone;
  // Where the issue tells its search for the rule, when someone listens.
  RuleSearch* search = nullptr;
  std::string* rule_name = nullptr;
};

// What an issuing operation gives back.
template <typename Value>
struct Issued {
  Value value{};  // the serial number, the serial list or the rule's parts
  // The value document's item code, once the operation has read it; it stays
  // read whatever fails later. nullopt when the operation failed before.
  std::optional<std::string> item_code;
  IssueNotes notes;
  // The owners the issue asked for a rule, in order, and the one whose rule
  // it used; empty when it failed before it resolved the item's rule.
  RuleSearch search;
  // The name of the rule of `search.found`, read with it.
  std::string rule_name;
};

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_ISSUE_CALL_H_
