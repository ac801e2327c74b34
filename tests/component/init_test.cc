// init: binding an object to its login object and database.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <thread>

#include "core/mod_language.h"
#include "quillet/language.h"
#include "quillet/login.h"
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

}  // namespace
}  // namespace quillet
