// The owner of a rule: an item, an inventory class (and every item below it)
// or all items. One type for the engine, the component and the tool.
#ifndef QUILLET_CORE_RULE_OWNER_H_
#define QUILLET_CORE_RULE_OWNER_H_

#include <cstdint>
#include <string>

namespace quillet {

// Owner types of a rule header (SNrulemain.cinvtype).
inline constexpr int16_t kOwnerClass = 0;
inline constexpr int16_t kOwnerItem = 1;
inline constexpr int16_t kOwnerAll = 2;

// The key of a rule header: owner code and owner type. The code of "all" is
// "all".
struct RuleOwner {
  std::string code;
  int16_t type = kOwnerItem;

  // The owner type as the statements compare it ("0", "1", "2").
  std::string TypeText() const { return std::to_string(type); }

  friend bool operator==(const RuleOwner&, const RuleOwner&) = default;
};

}  // namespace quillet

#endif  // QUILLET_CORE_RULE_OWNER_H_
