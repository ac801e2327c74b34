// The runtime errors that generation raises itself, with the numbers and
// descriptions the host's callers know from the language runtime.
#ifndef QUILLET_CORE_RUNTIME_ERRORS_H_
#define QUILLET_CORE_RUNTIME_ERRORS_H_

#include "quillet/error.h"
#include "quillet/variant.h"

namespace quillet::generation {

[[noreturn]] inline void RaiseTypeMismatch() { throw Error(errc::kTypeMismatch, "Type mismatch"); }

[[noreturn]] inline void RaiseOverflow() { throw Error(errc::kOverflow, "Overflow"); }

[[noreturn]] inline void RaiseInvalidArgument() {
  throw Error(errc::kInvalidArgument, "Invalid procedure call or argument");
}

// A document node or object that is not there.
[[noreturn]] inline void RaiseObjectNotSet() {
  throw Error(errc::kObjectNotSet, "Object variable or With block variable not set");
}

// The text of a field; raises errc::kInvalidUseOfNull for a null.
inline std::string FieldText(const Variant& field) { return field.ToText(); }

// a + b in 32-bit signed arithmetic; raises errc::kOverflow out of range.
inline int32_t CheckedAdd(int32_t a, int32_t b) {
  int32_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) RaiseOverflow();
  return sum;
}

}  // namespace quillet::generation

#endif  // QUILLET_CORE_RUNTIME_ERRORS_H_
