// CheckTaskExecsrv: what the login object sees, and what the caller gets.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "quillet/quillet.h"
#include "tests/component/recording_login.h"

namespace quillet {
namespace {

using testing::RecordingLogin;

enum class Throws { kNothing, kTaskExec, kClearError };

struct TaskCase {
  const char* label;
  Variant question;   // what TaskExec answers for mode -1
  Variant follow_up;  // and for mode 0
  Throws throws;
  bool expected;
  // The login's calls: C ClearError, A TaskExec(T7,-1), F TaskExec(T7,0).
  std::string expected_calls;
};

// Stable test names: the default printer dumps pointer bytes.
void PrintTo(const TaskCase& c, std::ostream* os) { *os << c.label; }

std::vector<std::string> Calls(const std::string& letters) {
  std::vector<std::string> calls;
  for (char letter : letters) {
    calls.push_back(letter == 'C'   ? "ClearError"
                    : letter == 'A' ? "TaskExec(T7,-1)"
                                    : "TaskExec(T7,0)");
  }
  return calls;
}

class CheckTaskExecTest : public ::testing::TestWithParam<TaskCase> {};

TEST_P(CheckTaskExecTest, CallsTheLoginInOrderAndAnswers) {
  const TaskCase& c = GetParam();
  auto login = std::make_shared<RecordingLogin>();
  login->answer_to_question = c.question;
  login->answer_to_follow_up = c.follow_up;
  login->task_exec_throws = c.throws == Throws::kTaskExec;
  login->clear_error_throws = c.throws == Throws::kClearError;
  clsQuillet object;
  object.objlogin = login;
  Variant answer = Variant("untouched");

  const Variant result = object.CheckTaskExecsrv("T7", answer);

  EXPECT_TRUE(result.IsEmpty());
  ASSERT_EQ(answer.type(), Variant::Type::kBool);
  EXPECT_EQ(answer.ToBool(), c.expected);
  EXPECT_EQ(login->calls, Calls(c.expected_calls));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CheckTaskExecTest,
    ::testing::Values(
        TaskCase{"Allowed", Variant(true), Variant(true), Throws::kNothing, true, "CACF"},
        TaskCase{"Refused", Variant(false), Variant(false), Throws::kNothing, false, "CACCFC"},
        TaskCase{"NullIsRefusal", Variant::Null(), Variant::Null(), Throws::kNothing, false,
                 "CACCFC"},
        TaskCase{"FollowUpIgnored", Variant(int16_t{-1}), Variant(false), Throws::kNothing, true,
                 "CACFC"},
        TaskCase{"UnreadableAnswer", Variant("maybe"), Variant("maybe"), Throws::kNothing, false,
                 "CACF"},
        TaskCase{"TaskExecThrows", Variant(true), Variant(true), Throws::kTaskExec, false, "CACF"},
        TaskCase{"ClearErrorThrows", Variant(true), Variant(true), Throws::kClearError, false,
                 "CC"}),
    [](const ::testing::TestParamInfo<TaskCase>& param_info) { return param_info.param.label; });

TEST(CheckTaskExecEmptyLogin, AnswersFalseWithoutRaising) {
  clsQuillet object;
  Variant answer = Variant(true);
  EXPECT_TRUE(object.CheckTaskExecsrv("T1", answer).IsEmpty());
  EXPECT_EQ(answer, Variant(false));
}

}  // namespace
}  // namespace quillet
