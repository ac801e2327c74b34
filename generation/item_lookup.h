// Look-ups of the host's archives that explain an issue: an item's class and
// whether a department exists.
#ifndef QUILLET_GENERATION_ITEM_LOOKUP_H_
#define QUILLET_GENERATION_ITEM_LOOKUP_H_

#include <cstdint>
#include <optional>
#include <string>

#include "generation/reader.h"

namespace quillet::generation {

// An inventory item's class: "" and level 0 for an item without a class row.
struct ItemClass {
  std::string code;
  int16_t level = 0;
};

// The class of `item_code`; nullopt for an item not in the inventory. Raises
// the database's error. Thread safety: that of the reader.
std::optional<ItemClass> ClassOfItem(Reader& reader, const std::string& item_code);

// Whether the department archive holds `department_code`. Raises the
// database's error. Thread safety: that of the reader.
bool DepartmentExists(Reader& reader, const std::string& department_code);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_ITEM_LOOKUP_H_
