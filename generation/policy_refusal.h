// A numbering policy's refusal to issue.
#ifndef QUILLET_GENERATION_POLICY_REFUSAL_H_
#define QUILLET_GENERATION_POLICY_REFUSAL_H_

#include "quillet/error.h"

namespace quillet::generation {

// The issuing method answers empty, and the caller's notes carry this error
// (errc::kPastEnd, errc::kIssuedBefore, errc::kNoRestartKey), and the guards
// of issue_guard.h (errc::kWouldWrap, errc::kXmlInvalid).
class PolicyRefusal : public Error {
 public:
  using Error::Error;
};

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_POLICY_REFUSAL_H_
