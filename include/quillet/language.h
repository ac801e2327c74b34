// The language component: message texts by key and the user's locale id.
#ifndef QUILLET_LANGUAGE_H_
#define QUILLET_LANGUAGE_H_

#include <memory>
#include <string>
#include <vector>

#include "quillet/export.h"
#include "quillet/variant.h"

namespace quillet {

// Message texts of the user's language, by resource key.
class QUILLET_EXPORT StringTable {
 public:
  virtual ~StringTable() = default;
  virtual std::string TextForKey(const std::string& key) = 0;
};

// Tells the caller's locale id (compared as text with the locale columns of
// the localized tables).
class QUILLET_EXPORT LocaleProvider {
 public:
  virtual ~LocaleProvider() = default;
  virtual Variant GetLocalID() = 0;
};

class QUILLET_EXPORT LanguageManager {
 public:
  virtual ~LanguageManager() = default;
  virtual std::shared_ptr<StringTable> Strings() = 0;
  virtual std::shared_ptr<LocaleProvider> Locale() = 0;
};

// Fills a message's arguments, in order, into the text of a key.
class QUILLET_EXPORT TextFormatter {
 public:
  virtual ~TextFormatter() = default;
  virtual std::string TextForKeyWithArgs(const std::string& key,
                                         const std::vector<Variant>& args) = 0;
};

// Creates the language objects; `init` asks it for a new manager and formatter
// on the calling thread. Any member may throw Error; `init` passes it on.
class QUILLET_EXPORT LanguageComponent {
 public:
  virtual ~LanguageComponent() = default;
  virtual std::shared_ptr<LanguageManager> CreateManager() = 0;
  virtual std::shared_ptr<TextFormatter> CreateFormatter() = 0;
};

// The built-in component: message tables for zh-CN and en-US (other locales
// read the en-US texts), answering `locale` as the locale id.
QUILLET_EXPORT std::shared_ptr<LanguageComponent> BuiltinLanguage(std::string locale);

// Installs the component that `init` uses from now on, process-wide. Until a
// component is installed, `init` uses BuiltinLanguage with the locale of the
// environment variable QUILLET_LOCALE, else "zh-CN"; installing null returns
// to that default. Thread-safe.
QUILLET_EXPORT void SetLanguageComponent(std::shared_ptr<LanguageComponent> component);
QUILLET_EXPORT std::shared_ptr<LanguageComponent> GetLanguageComponent();

}  // namespace quillet

#endif  // QUILLET_LANGUAGE_H_
