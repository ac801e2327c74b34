// GetContrapose: the code that stands for an archive value in serial numbers.
#include "core/field_text.h"
#include "generation/methods.h"
#include "store/rule_queries.h"

namespace quillet::generation {

std::string GetContrapose(store::Connection& db, const std::string& cDataType,
                          const std::string& cSeed) {
  const auto mapping = store::generation::MappedCode(db, cDataType, cSeed);
  if (mapping->RecordCount() == 0) return {};
  const Variant& code = mapping->Field("ccode");
  return FieldTextOrEmpty(code);
}

}  // namespace quillet::generation
