// The owner of a rule: an item, an inventory class (and every item below it)
// or all items, and the words people write for owners: `item:CODE`,
// `class:CODE` and `all`.
#ifndef QUILLET_OWNER_H_
#define QUILLET_OWNER_H_

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "quillet/export.h"

namespace quillet {

// The kinds of owner, numbered as rule headers store them
// (SNrulemain.cinvtype). A caller's number outside these is kept as it
// stands: the headers are matched by the number, whatever it is.
enum class OwnerKind : int16_t { kClass = 0, kItem = 1, kAll = 2 };

// The key of a rule header: owner code and kind. The code of "all" is "all".
struct RuleOwner {
  std::string code{};
  OwnerKind kind = OwnerKind::kItem;

  static RuleOwner Item(std::string code) { return {std::move(code), OwnerKind::kItem}; }
  static RuleOwner Class(std::string code) { return {std::move(code), OwnerKind::kClass}; }
  static RuleOwner All() { return {"all", OwnerKind::kAll}; }
  // The owner of a caller's (code, owner type number) pair.
  static RuleOwner FromNumber(std::string code, int16_t number) {
    return {std::move(code), static_cast<OwnerKind>(number)};
  }

  // The kind as rule headers store it, and as decimal text ("0", "1", "2").
  int16_t KindNumber() const { return static_cast<int16_t>(kind); }
  std::string KindText() const { return std::to_string(KindNumber()); }

  friend auto operator<=>(const RuleOwner&, const RuleOwner&) = default;
  friend bool operator==(const RuleOwner&, const RuleOwner&) = default;
};

// The owner a word names: `item:CODE`, `class:CODE` (the kind in any case,
// CODE not empty and taken as it stands) or `all` (any case). Throws Failure
// (quillet/failure.h, FailureKind::kInvalidRequest, errc::kBadOwner) saying
// which forms are accepted. Pure; thread-safe.
QUILLET_EXPORT RuleOwner ParseOwner(std::string_view word);

// The word of an owner: `item:CODE`, `class:CODE`, `all`. Stored keys that
// no word names come out as `all:CODE` (kind all with a code other than
// "all") and `N:CODE` (another kind number). Pure; thread-safe.
QUILLET_EXPORT std::string FormatOwner(const RuleOwner& owner);

}  // namespace quillet

#endif  // QUILLET_OWNER_H_
