// The login object: init binding an object to it and its database, and
// CheckTaskExecsrv (what the login object sees, and what the caller gets).
#include "quillet/login.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/mod_language.h"
#include "quillet/language.h"
#include "quillet/quillet.h"
#include "tests/component/recording_login.h"
#include "tests/support/backends.h"
#include "tests/support/raised.h"

namespace quillet {
namespace {

using testing::Raised;
using testing::RecordingLogin;
using testing::TestDatabase;

class InitTest : public ::testing::TestWithParam<std::string> {
 protected:
  std::shared_ptr<Login> LoginFor(const TestDatabase& db, std::set<std::string> tasks = {}) {
    return std::make_shared<ConfiguredLogin>(db.connection_string(), std::move(tasks));
  }
};

TEST_P(InitTest, KeepsAnAssignedLoginAndOpensFromTheArgument) {
  TestDatabase db(GetParam());
  auto assigned = std::make_shared<RecordingLogin>();
  clsQuillet object;
  object.objlogin = assigned;
  std::shared_ptr<Login> argument = LoginFor(db, {"T1"});

  EXPECT_TRUE(object.init(argument).IsEmpty());

  EXPECT_EQ(object.objlogin, assigned);
  EXPECT_TRUE(assigned->calls.empty());  // KelDbName came from the argument
  Variant answer;
  object.CheckTaskExecsrv("T1", answer);
  EXPECT_EQ(answer, Variant(true));  // the assigned login answered, not the argument
  EXPECT_EQ(assigned->calls.size(), 4u);
}

// On a thread of its own, init sets the thread's locale from the language
// component; a second init raises and keeps the first login.
TEST_P(InitTest, SetsTheLocaleAndASecondInitRaises) {
  TestDatabase db(GetParam());
  SetLanguageComponent(BuiltinLanguage("en-US"));
  std::thread([&] {
    clsQuillet object;
    std::shared_ptr<Login> first = LoginFor(db);
    std::shared_ptr<Login> second = LoginFor(db);
    object.init(first);
    EXPECT_EQ(modLanguage::LocaleId(), "en-US");
    EXPECT_EQ(Raised([&] { object.init(second); }).number(), errc::kObjectOpen);
    EXPECT_EQ(object.objlogin, first);
    EXPECT_EQ(object.GetContrapose("2", "no such value"), "");  // still open and usable
  }).join();
  SetLanguageComponent(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Backends, InitTest, ::testing::ValuesIn(testing::Backends()));

TEST(InitFailure, EmptyLoginRaisesObjectNotSet) {
  clsQuillet object;
  std::shared_ptr<Login> none;
  EXPECT_EQ(Raised([&] { object.init(none); }).number(), errc::kObjectNotSet);
  EXPECT_EQ(object.objlogin, nullptr);
}

TEST(InitFailure, UnopenableConnectionKeepsLoginAndSkipsLanguageSetUp) {
  auto login = std::make_shared<RecordingLogin>();
  login->connection_string = "bogus:nothing";
  std::shared_ptr<Login> argument = login;
  clsQuillet object;
  int32_t number = 0;
  std::string locale = "unset";
  std::thread([&] {
    number = Raised([&] { object.init(argument); }).number();
    locale = modLanguage::LocaleId();
  }).join();
  EXPECT_EQ(number, errc::kBadConnectionString);
  EXPECT_EQ(object.objlogin, argument);
  EXPECT_EQ(locale, "");
  EXPECT_EQ(login->calls, std::vector<std::string>{"KelDbName"});
}

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
