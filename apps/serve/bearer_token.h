// Bearer tokens compared without telling by the time taken where they differ.
#ifndef QUILLET_SERVE_BEARER_TOKEN_H_
#define QUILLET_SERVE_BEARER_TOKEN_H_

#include <string_view>

namespace quillet::serve {

// Whether `given` equals `expected`, in a time that depends on the length of
// `expected` only, never on where the two differ. Pure.
bool SameToken(std::string_view given, std::string_view expected);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_BEARER_TOKEN_H_
