// Runtime conversions of generation that raise the errors the host's callers
// know from the language runtime (see the named errors of quillet/error.h).
#ifndef QUILLET_CORE_RUNTIME_ERRORS_H_
#define QUILLET_CORE_RUNTIME_ERRORS_H_

#include "quillet/error.h"
#include "quillet/variant.h"

namespace quillet::generation {

// The text of a field; raises errc::kInvalidUseOfNull for a null.
inline std::string FieldText(const Variant& field) { return field.ToText(); }

// a + b in 32-bit signed arithmetic; raises errc::kOverflow out of range.
inline int32_t CheckedAdd(int32_t a, int32_t b) {
  int32_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) throw Error::Overflow();
  return sum;
}

}  // namespace quillet::generation

#endif  // QUILLET_CORE_RUNTIME_ERRORS_H_
