// modLanguage: per-thread language state, message look-ups, GetStrValue.
#ifndef QUILLET_CORE_MOD_LANGUAGE_H_
#define QUILLET_CORE_MOD_LANGUAGE_H_

#include <string>
#include <vector>

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

}  // namespace quillet::modLanguage

#endif  // QUILLET_CORE_MOD_LANGUAGE_H_
