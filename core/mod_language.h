// modLanguage: per-thread language state, message look-ups, GetStrValue.
#ifndef QUILLET_CORE_MOD_LANGUAGE_H_
#define QUILLET_CORE_MOD_LANGUAGE_H_

#include <memory>
#include <string>
#include <vector>

#include "quillet/language.h"
#include "quillet/variant.h"

namespace quillet::modLanguage {

// Creates this thread's language manager, string table and text formatter
// from the installed LanguageComponent and reads the locale id. Raises what
// the component raises; items set before a failure stay set.
void InitLanguage();
// The message of `key` in the user's language. Raises when InitLanguage has
// not completed on this thread.
std::string GetResString(const std::string& key);
// The message of `key` with `args` filled in order.
std::string GetResStringEx(const std::string& key, const std::vector<Variant>& args);
// The value as text; the empty text for null or a value without a text form.
std::string GetStrValue(const Variant& value);
// This thread's locale id; the empty text before InitLanguage reached it.
const std::string& LocaleId();

// A complete set of language objects and the locale id they answer, made
// once by an owner that speaks one locale whatever thread it runs on.
struct Language {
  std::shared_ptr<LanguageManager> language_manager;
  std::shared_ptr<StringTable> string_table;
  std::shared_ptr<TextFormatter> text_formatter;
  std::string locale_id;
};

// The language objects `component` makes, as InitLanguage makes them. Raises
// what the component raises, and errc::kObjectNotSet for a missing object.
Language CreateLanguage(LanguageComponent& component);

// Makes `language` the calling thread's language state while it lives, and
// puts the state it found back when it ends. Used on one thread.
class LanguageScope {
 public:
  explicit LanguageScope(const Language& language);
  ~LanguageScope();
  LanguageScope(const LanguageScope&) = delete;
  LanguageScope& operator=(const LanguageScope&) = delete;

 private:
  Language saved_;
};

}  // namespace quillet::modLanguage

#endif  // QUILLET_CORE_MOD_LANGUAGE_H_
