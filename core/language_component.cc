// The built-in language component and the process-wide choice of component.
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/ascii_case.h"
#include "core/mod_language.h"
#include "quillet/language.h"

namespace quillet {
namespace {

using MessageTable = std::map<std::string, std::string, std::less<>>;

// Arguments are written %1, %2, ... and filled in order.
const MessageTable& ChineseMessages() {
  static const MessageTable table = {
      {"Vell.SO.lotnumber.00056", "规则名称“%1”已被其他对象使用，请换一个规则名称。"},
      {"Vell.SO.lotnumber.00057", "还没有任何规则段使用数据来源“%1”，因此它没有长度。"},
      {"Vell.SO.SNumber.00008", "流水号已超出规则设定的位数，无法再生成序列号。"},
  };
  return table;
}

const MessageTable& EnglishMessages() {
  static const MessageTable table = {
      {"Vell.SO.lotnumber.00056",
       "The rule name \"%1\" is already used by another owner; choose a different name."},
      {"Vell.SO.lotnumber.00057",
       "No rule segment uses the data source \"%1\" yet, so it has no width."},
      {"Vell.SO.SNumber.00008",
       "The running number no longer fits in its digits; no more serial numbers can be issued."},
  };
  return table;
}

// Locales other than zh-CN read the English texts.
const MessageTable& MessagesFor(std::string_view locale) {
  return service::EqualsIgnoringAsciiCase(locale, "zh-CN") ? ChineseMessages() : EnglishMessages();
}

std::string MessageText(const MessageTable& table, const std::string& key) {
  const auto found = table.find(key);
  if (found != table.end()) return found->second;
  return "Unknown message key \"" + key + "\"";
}

// Replaces each %N by the text of argument N (counted from 1); an argument
// that is missing or has no text form leaves the empty text.
std::string FillArguments(std::string_view text, const std::vector<Variant>& args) {
  const auto is_digit = [&text](std::size_t at) {
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
  };
  std::string filled;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%' || !is_digit(i + 1)) {
      filled += text[i++];
      continue;
    }
    std::size_t number = 0;
    for (++i; is_digit(i); ++i) number = number * 10 + static_cast<std::size_t>(text[i] - '0');
    if (number >= 1 && number <= args.size()) {
      filled += modLanguage::GetStrValue(args[number - 1]);
    }
  }
  return filled;
}

class BuiltinStringTable : public StringTable {
 public:
  explicit BuiltinStringTable(const MessageTable& table) : table_(table) {}
  std::string TextForKey(const std::string& key) override { return MessageText(table_, key); }

 private:
  const MessageTable& table_;
};

class BuiltinLocaleProvider : public LocaleProvider {
 public:
  explicit BuiltinLocaleProvider(std::string locale) : locale_(std::move(locale)) {}
  Variant GetLocalID() override { return Variant(locale_); }

 private:
  std::string locale_;
};

class BuiltinManager : public LanguageManager {
 public:
  explicit BuiltinManager(std::string locale) : locale_(std::move(locale)) {}
  std::shared_ptr<StringTable> Strings() override {
    return std::make_shared<BuiltinStringTable>(MessagesFor(locale_));
  }
  std::shared_ptr<LocaleProvider> Locale() override {
    return std::make_shared<BuiltinLocaleProvider>(locale_);
  }

 private:
  std::string locale_;
};

class BuiltinFormatter : public TextFormatter {
 public:
  explicit BuiltinFormatter(const MessageTable& table) : table_(table) {}
  std::string TextForKeyWithArgs(const std::string& key,
                                 const std::vector<Variant>& args) override {
    return FillArguments(MessageText(table_, key), args);
  }

 private:
  const MessageTable& table_;
};

class BuiltinComponent : public LanguageComponent {
 public:
  explicit BuiltinComponent(std::string locale) : locale_(std::move(locale)) {}
  std::shared_ptr<LanguageManager> CreateManager() override {
    return std::make_shared<BuiltinManager>(locale_);
  }
  std::shared_ptr<TextFormatter> CreateFormatter() override {
    return std::make_shared<BuiltinFormatter>(MessagesFor(locale_));
  }

 private:
  std::string locale_;
};

std::shared_ptr<LanguageComponent> DefaultComponent() {
  const char* locale = std::getenv("QUILLET_LOCALE");
  return BuiltinLanguage(locale != nullptr && *locale != '\0' ? locale : "zh-CN");
}

std::mutex installed_mutex;
std::shared_ptr<LanguageComponent> installed;  // guarded by installed_mutex

}  // namespace

std::shared_ptr<LanguageComponent> BuiltinLanguage(std::string locale) {
  return std::make_shared<BuiltinComponent>(std::move(locale));
}

void SetLanguageComponent(std::shared_ptr<LanguageComponent> component) {
  const std::lock_guard<std::mutex> lock(installed_mutex);
  installed = std::move(component);
}

std::shared_ptr<LanguageComponent> GetLanguageComponent() {
  const std::lock_guard<std::mutex> lock(installed_mutex);
  if (!installed) installed = DefaultComponent();
  return installed;
}

}  // namespace quillet
