// CheckTaskExecsrv: what the login object sees, and what the caller gets.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "quillet/quillet.h"
#include "tests/component/recording_login.h"

namespace quillet {
namespace {

using testing::RecordingLogin;

enum class Throws { kNothing, kTaskExec, kClearError };

// The login's calls: C ClearError, A TaskExec(T7,-1), F TaskExec(T7,0).
std::vector<std::string> Calls(const std::string& letters) {
  std::vector<std::string> calls;
  for (char letter : letters) {
    calls.push_back(letter == 'C'   ? "ClearError"
                    : letter == 'A' ? "TaskExec(T7,-1)"
                                    : "TaskExec(T7,0)");
  }
  return calls;
}

// What the login object sees, in order, and the answer the caller gets.
TEST(CheckTaskExec, CallsTheLoginInOrderAndAnswers) {
  const struct {
    const char* label;
    Variant question;   // what TaskExec answers for mode -1
    Variant follow_up;  // and for mode 0
    Throws throws;
    bool expected;
    std::string expected_calls;
  } cases[] = {
      {"allowed", Variant(true), Variant(true), Throws::kNothing, true, "CACF"},
      {"refused", Variant(false), Variant(false), Throws::kNothing, false, "CACCFC"},
      {"null is refusal", Variant::Null(), Variant::Null(), Throws::kNothing, false, "CACCFC"},
      {"follow-up ignored", Variant(int16_t{-1}), Variant(false), Throws::kNothing, true, "CACFC"},
      {"unreadable answer", Variant("maybe"), Variant("maybe"), Throws::kNothing, false, "CACF"},
      {"TaskExec throws", Variant(true), Variant(true), Throws::kTaskExec, false, "CACF"},
      {"ClearError throws", Variant(true), Variant(true), Throws::kClearError, false, "CC"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    auto login = std::make_shared<RecordingLogin>();
    login->answer_to_question = c.question;
    login->answer_to_follow_up = c.follow_up;
    login->task_exec_throws = c.throws == Throws::kTaskExec;
    login->clear_error_throws = c.throws == Throws::kClearError;
    clsQuillet object;
    object.objlogin = login;
    Variant answer = Variant("untouched");
    EXPECT_TRUE(object.CheckTaskExecsrv("T7", answer).IsEmpty());
    ASSERT_EQ(answer.type(), Variant::Type::kBool);
    EXPECT_EQ(answer.ToBool(), c.expected);
    EXPECT_EQ(login->calls, Calls(c.expected_calls));
  }
}

TEST(CheckTaskExec, AnEmptyLoginAnswersFalseWithoutRaising) {
  clsQuillet object;
  Variant answer = Variant(true);
  EXPECT_TRUE(object.CheckTaskExecsrv("T1", answer).IsEmpty());
  EXPECT_EQ(answer, Variant(false));
}

}  // namespace
}  // namespace quillet
