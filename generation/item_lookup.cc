#include "generation/item_lookup.h"

#include "store/rule_queries.h"

namespace quillet::generation {

std::optional<ItemClass> ClassOfItem(Reader& reader, const std::string& item_code) {
  const auto rows = store::generation::ItemClass(reader.connection(), item_code);
  if (rows->Bof() && rows->Eof()) return std::nullopt;
  const Variant& code = rows->Field("cinvccode");
  const Variant& level = rows->Field("iinvcgrade");
  return ItemClass{code.IsNull() ? std::string() : code.ToText(),
                   level.IsNull() ? int16_t{0} : level.ToInt16()};
}

bool DepartmentExists(Reader& reader, const std::string& department_code) {
  const auto rows = store::generation::DepartmentGrade(reader.connection(), department_code);
  return !(rows->Bof() && rows->Eof());
}

}  // namespace quillet::generation
