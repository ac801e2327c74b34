// The owner of a rule: an item, an inventory class (and every item below it)
// or all items. One type for the engine, the component and the tool.
#ifndef QUILLET_CORE_RULE_OWNER_H_
#define QUILLET_CORE_RULE_OWNER_H_

#include <compare>
#include <cstdint>
#include <string>
#include <utility>

namespace quillet {

// The kinds of owner, numbered as rule headers store them
// (SNrulemain.cinvtype). A caller's number outside these is kept as it
// stands: the headers are matched by the number, whatever it is.
enum class OwnerKind : int16_t { kClass = 0, kItem = 1, kAll = 2 };

// The key of a rule header: owner code and kind. The code of "all" is "all".
struct RuleOwner {
  std::string code;
  OwnerKind kind = OwnerKind::kItem;

  // The owner of a caller's (code, owner type number) pair.
  static RuleOwner FromNumber(std::string code, int16_t number) {
    return {std::move(code), static_cast<OwnerKind>(number)};
  }

  // The kind as rule headers store it.
  int16_t KindNumber() const { return static_cast<int16_t>(kind); }
  // The kind as the statements compare it ("0", "1", "2").
  std::string KindText() const { return std::to_string(KindNumber()); }

  friend auto operator<=>(const RuleOwner&, const RuleOwner&) = default;
  friend bool operator==(const RuleOwner&, const RuleOwner&) = default;
};

}  // namespace quillet

#endif  // QUILLET_CORE_RULE_OWNER_H_
