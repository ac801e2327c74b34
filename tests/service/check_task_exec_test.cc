// CheckTaskExecsrv: what the login object sees, and what the caller gets.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "quillet/quillet.h"
#include "tests/service/recording_login.h"

namespace quillet {
namespace {

using testing::RecordingLogin;

struct TaskCase {
  const char* label;
  Variant question;
  Variant follow_up;
  bool task_exec_throws;
  bool clear_error_throws;
  bool expected;
  std::vector<std::string> expected_calls;
};

// Stable test names: the default printer dumps pointer bytes.
void PrintTo(const TaskCase& c, std::ostream* os) { *os << c.label; }

class CheckTaskExecTest : public ::testing::TestWithParam<TaskCase> {};

TEST_P(CheckTaskExecTest, CallsTheLoginInOrderAndAnswers) {
  const TaskCase& c = GetParam();
  auto login = std::make_shared<RecordingLogin>();
  login->answer_to_question = c.question;
  login->answer_to_follow_up = c.follow_up;
  login->task_exec_throws = c.task_exec_throws;
  login->clear_error_throws = c.clear_error_throws;
  clsQuillet object;
  object.objlogin = login;
  Variant answer = Variant("untouched");

  const Variant result = object.CheckTaskExecsrv("T7", answer);

  EXPECT_TRUE(result.IsEmpty());
  ASSERT_EQ(answer.type(), Variant::Type::kBool);
  EXPECT_EQ(answer.ToBool(), c.expected);
  EXPECT_EQ(login->calls, c.expected_calls);
}

const std::string kClear = "ClearError";
const std::string kAsk = "TaskExec(T7,-1)";
const std::string kFollow = "TaskExec(T7,0)";

INSTANTIATE_TEST_SUITE_P(
    Answers, CheckTaskExecTest,
    ::testing::Values(TaskCase{"Allowed",
                               Variant(true),
                               Variant(true),
                               false,
                               false,
                               true,
                               {kClear, kAsk, kClear, kFollow}},
                      TaskCase{"Refused",
                               Variant(false),
                               Variant(false),
                               false,
                               false,
                               false,
                               {kClear, kAsk, kClear, kClear, kFollow, kClear}},
                      TaskCase{"NullIsRefusal",
                               Variant::Null(),
                               Variant::Null(),
                               false,
                               false,
                               false,
                               {kClear, kAsk, kClear, kClear, kFollow, kClear}},
                      TaskCase{"FollowUpIgnored",
                               Variant(int16_t{-1}),
                               Variant(false),
                               false,
                               false,
                               true,
                               {kClear, kAsk, kClear, kFollow, kClear}},
                      TaskCase{"UnreadableAnswer",
                               Variant("maybe"),
                               Variant("maybe"),
                               false,
                               false,
                               false,
                               {kClear, kAsk, kClear, kFollow}},
                      TaskCase{"TaskExecThrows",
                               Variant(true),
                               Variant(true),
                               true,
                               false,
                               false,
                               {kClear, kAsk, kClear, kFollow}},
                      TaskCase{"ClearErrorThrows",
                               Variant(true),
                               Variant(true),
                               false,
                               true,
                               false,
                               {kClear, kClear}}),
    [](const ::testing::TestParamInfo<TaskCase>& param_info) { return param_info.param.label; });

TEST(CheckTaskExecEmptyLogin, AnswersFalseWithoutRaising) {
  clsQuillet object;
  Variant answer = Variant(true);
  EXPECT_TRUE(object.CheckTaskExecsrv("T1", answer).IsEmpty());
  EXPECT_EQ(answer, Variant(false));
}

}  // namespace
}  // namespace quillet
