// Field values of record sets as text, a missing value as the empty text.
#ifndef QUILLET_CORE_FIELD_TEXT_H_
#define QUILLET_CORE_FIELD_TEXT_H_

#include <string>

#include "quillet/variant.h"

namespace quillet {

// The field's text; "" for null. Raises quillet::Error for an object.
inline std::string FieldTextOrEmpty(const Variant& field) {
  return field.IsNull() ? std::string() : field.ToText();
}

}  // namespace quillet

#endif  // QUILLET_CORE_FIELD_TEXT_H_
