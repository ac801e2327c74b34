#include "generation/mapped_code.h"

#include "core/field_text.h"
#include "store/rule_queries.h"

namespace quillet::generation {

std::string MappedCode(store::Connection& db, const std::string& data_type,
                       const std::string& value) {
  const auto mapping = store::generation::MappedCode(db, data_type, value);
  if (mapping->RecordCount() == 0) return {};
  return FieldTextOrEmpty(mapping->Field("ccode"));
}

}  // namespace quillet::generation
