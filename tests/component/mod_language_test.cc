// modLanguage: per-thread state, message look-ups, GetStrValue.
#include "core/mod_language.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "quillet/error.h"
#include "quillet/language.h"
#include "quillet/recordset.h"

namespace quillet {
namespace {

using ::testing::HasSubstr;

// Runs `body` on a thread of its own, whose language state starts empty.
void OnFreshThread(const std::function<void()>& body) { std::thread(body).join(); }

class ModLanguageTest : public ::testing::Test {
 protected:
  void TearDown() override { SetLanguageComponent(nullptr); }

  static void InitWith(const std::string& locale) {
    SetLanguageComponent(BuiltinLanguage(locale));
    modLanguage::InitLanguage();
  }
};

TEST_F(ModLanguageTest, LookUpsRaiseBeforeInitOnThisThread) {
  InitWith("en-US");  // another thread's state must not help
  OnFreshThread([] {
    EXPECT_EQ(modLanguage::LocaleId(), "");
    EXPECT_THROW(modLanguage::GetResString("Vell.SO.SNumber.00008"), Error);
    EXPECT_THROW(modLanguage::GetResStringEx("Vell.SO.lotnumber.00057", {Variant("x")}), Error);
  });
}

// Each thread keeps its own locale; a second init on a thread replaces its
// state.
TEST_F(ModLanguageTest, EachThreadKeepsItsOwnLocale) {
  InitWith("zh-CN");
  const std::string chinese = modLanguage::GetResString("Vell.SO.SNumber.00008");
  std::string other_locale;
  std::string other_text;
  OnFreshThread([&] {
    InitWith("zh-CN");
    InitWith("en-US");
    other_locale = modLanguage::LocaleId();
    other_text = modLanguage::GetResString("Vell.SO.SNumber.00008");
  });
  EXPECT_EQ(other_locale, "en-US");
  EXPECT_EQ(modLanguage::LocaleId(), "zh-CN");
  EXPECT_EQ(modLanguage::GetResString("Vell.SO.SNumber.00008"), chinese);
  EXPECT_NE(other_text, chinese);
}

TEST_F(ModLanguageTest, MessagesFillTheirArgumentsIntoTheText) {
  const std::tuple<const char*, const char*, std::vector<Variant>, const char*> cases[] = {
      {"zh-CN", "Vell.SO.lotnumber.00057", {Variant("仓库档案")}, "仓库档案"},
      {"en-US", "Vell.SO.lotnumber.00057", {Variant("Warehouse")}, "\"Warehouse\""},
      {"zh-CN", "Vell.SO.lotnumber.00056", {Variant("R-01")}, "R-01"},
      {"de-DE", "Vell.SO.lotnumber.00056", {Variant(int16_t{42})}, "\"42\" is already used"},
      {"en-US", "Vell.SO.lotnumber.00057", {Variant::Null()}, "data source \"\""},
      {"en-US", "No.Such.Key", {}, "No.Such.Key"}};
  for (const auto& [locale, key, args, must_contain] : cases) {
    InitWith(locale);
    const std::string text = modLanguage::GetResStringEx(key, args);
    EXPECT_THAT(text, HasSubstr(must_contain)) << locale << " " << key;
    EXPECT_EQ(text.find("%1"), std::string::npos) << text;
  }
}

// A component whose locale provider fails: the items before it stay set.
class FailingLocaleComponent : public LanguageComponent {
 public:
  std::shared_ptr<LanguageManager> CreateManager() override {
    return std::make_shared<Manager>(BuiltinLanguage("en-US")->CreateManager());
  }
  std::shared_ptr<TextFormatter> CreateFormatter() override {
    return BuiltinLanguage("en-US")->CreateFormatter();
  }

 private:
  struct Manager : LanguageManager {
    explicit Manager(std::shared_ptr<LanguageManager> inner) : inner_(std::move(inner)) {}
    std::shared_ptr<StringTable> Strings() override { return inner_->Strings(); }
    std::shared_ptr<LocaleProvider> Locale() override {
      throw Error(errc::kNoSuchMember, "no locale provider");
    }
    std::shared_ptr<LanguageManager> inner_;
  };
};

TEST_F(ModLanguageTest, FailureKeepsTheItemsSetBeforeIt) {
  SetLanguageComponent(std::make_shared<FailingLocaleComponent>());
  OnFreshThread([] {
    EXPECT_THROW(modLanguage::InitLanguage(), Error);
    EXPECT_EQ(modLanguage::LocaleId(), "");
    EXPECT_THAT(modLanguage::GetResString("Vell.SO.SNumber.00008"), HasSubstr("running number"));
    EXPECT_THAT(modLanguage::GetResStringEx("Vell.SO.lotnumber.00057", {Variant("Clerk")}),
                HasSubstr("Clerk"));
  });
}

TEST(GetStrValueTest, NullAndObjectsGiveEmptyText) {
  EXPECT_EQ(modLanguage::GetStrValue(Variant::Null()), "");
  EXPECT_EQ(modLanguage::GetStrValue(Variant()), "");
  EXPECT_EQ(modLanguage::GetStrValue(Variant(std::make_shared<RecordSet>())), "");
  EXPECT_EQ(modLanguage::GetStrValue(Variant(int32_t{5})), "5");
  EXPECT_EQ(modLanguage::GetStrValue(Variant("abc")), "abc");
}

}  // namespace
}  // namespace quillet
