// Field values of the component's record sets as the tool shows them.
#ifndef QUILLET_APPS_FIELD_TEXT_H_
#define QUILLET_APPS_FIELD_TEXT_H_

#include <string>

#include "quillet/variant.h"

namespace quillet::apps {

// The field's text; "" for null. Raises quillet::Error for an object.
inline std::string FieldTextOrEmpty(const Variant& field) {
  return field.IsNull() ? std::string() : field.ToText();
}

}  // namespace quillet::apps

#endif  // QUILLET_APPS_FIELD_TEXT_H_
