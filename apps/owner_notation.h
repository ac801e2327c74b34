// Owners of rules as the quillet tool writes them: `item:CODE`, `class:CODE`
// and `all`.
#ifndef QUILLET_APPS_OWNER_NOTATION_H_
#define QUILLET_APPS_OWNER_NOTATION_H_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/rule_owner.h"

namespace quillet::apps {

// A word that names no owner; what() tells the accepted forms.
class OwnerNotationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `item:CODE`, `class:CODE` (kinds in any case, CODE not empty and taken as it
// stands) or `all`. Raises OwnerNotationError otherwise. Pure.
RuleOwner ParseOwner(std::string_view word);

// The word of an owner: `item:CODE`, `class:CODE`, `all`. Stored keys that
// no word names come out as `all:CODE` (owner type 2 with a code other than
// "all") and `TYPE:CODE` (another owner type). Pure.
std::string FormatOwner(const RuleOwner& owner);

}  // namespace quillet::apps

#endif  // QUILLET_APPS_OWNER_NOTATION_H_
