// Callers issuing at the same moment, in threads of this process and in
// other processes, for tests that every number is handed out once.
#ifndef QUILLET_TESTS_SUPPORT_ISSUERS_H_
#define QUILLET_TESTS_SUPPORT_ISSUERS_H_

#include <functional>
#include <string>
#include <vector>

namespace quillet::testing {

// What one caller issues: it opens its own connections (a child process
// must not use its parent's) and answers its serial numbers, an empty entry
// for a failed issue.
using IssueWork = std::function<std::vector<std::string>()>;

// Runs `work` in `threads` threads and in `processes` child processes, all
// let go at once, and answers everything they issued. A child that fails
// fails the test.
std::vector<std::string> IssueTogether(int threads, int processes, const IssueWork& work);

}  // namespace quillet::testing

#endif  // QUILLET_TESTS_SUPPORT_ISSUERS_H_
