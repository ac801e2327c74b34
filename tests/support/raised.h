// The Error a call raises, for tests that check its number and text.
#ifndef QUILLET_TESTS_SUPPORT_RAISED_H_
#define QUILLET_TESTS_SUPPORT_RAISED_H_

#include <utility>

#include "quillet/error.h"

namespace quillet::testing {

// The Error `call` raises; Error(0, "") when it raises none, which no
// expected number matches.
template <typename Call>
Error Raised(Call&& call) {
  try {
    std::forward<Call>(call)();
  } catch (const Error& error) {
    return error;
  }
  return Error(0, "");
}

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_SUPPORT_RAISED_H_
