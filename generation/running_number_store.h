// Advancing a stored running number as one atomic step, and retrying an
// issue whose number another caller took first.
#ifndef QUILLET_GENERATION_RUNNING_NUMBER_STORE_H_
#define QUILLET_GENERATION_RUNNING_NUMBER_STORE_H_

#include <cstdint>
#include <string>

#include "generation/rule_owner.h"
#include "store/connection.h"

namespace quillet::generation {

// Raised when every attempt of an issue lost its running number to other
// callers.
inline constexpr int32_t kRunningNumberContended = 1301;

// Thrown (not an Error) when another caller advanced the running number
// between its read and the update of this issue: the issue starts again.
struct RunningNumberTaken {};

// How many times an issue starts before it gives up.
inline constexpr int kIssueAttempts = 100;

// Stores `next` as the owner's running number over a short-lived write
// connection, provided the header still holds `read` exactly. Throws
// RunningNumberTaken when it does not, or Error(kRunningNumberContended) on
// the last attempt; raises the database's errors.
void StoreNextNumber(const store::Connection& service, const RuleOwner& owner,
                     const std::string& read, const std::string& next, bool last_attempt);

// A short, random pause that grows with the attempt, so that callers that
// collided do not collide again in step.
void PauseAfterLostRace(int attempt);

// Runs `issue(last_attempt)` until it completes without RunningNumberTaken,
// at most kIssueAttempts times.
template <typename Issue>
auto IssueWithRetry(Issue&& issue) {
  for (int attempt = 0;; ++attempt) {
    try {
      return issue(attempt + 1 >= kIssueAttempts);
    } catch (const RunningNumberTaken&) {
      PauseAfterLostRace(attempt);
    }
  }
}

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_RUNNING_NUMBER_STORE_H_
