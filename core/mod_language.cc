// modLanguage: the language objects and locale id of the calling thread.
#include "core/mod_language.h"

#include <memory>
#include <string>
#include <vector>

#include "quillet/error.h"
#include "quillet/language.h"

namespace quillet::modLanguage {
namespace {

// One copy per thread: every clsQuillet object on a thread shares it, and the
// last init on that thread decides it.
thread_local Language state;

}  // namespace

void InitLanguage() {
  const std::shared_ptr<LanguageComponent> component = GetLanguageComponent();
  if (!component) throw Error::ObjectNotSet();
  // Each item is stored as soon as it exists: a failure further down leaves
  // the earlier ones in place.
  state.language_manager = component->CreateManager();
  if (!state.language_manager) throw Error::ObjectNotSet();
  state.string_table = state.language_manager->Strings();
  state.text_formatter = component->CreateFormatter();
  const std::shared_ptr<LocaleProvider> locale = state.language_manager->Locale();
  if (!locale) throw Error::ObjectNotSet();
  state.locale_id = locale->GetLocalID().ToText();
}

std::string GetResString(const std::string& key) {
  if (!state.string_table) throw Error::ObjectNotSet();
  return state.string_table->TextForKey(key);
}

std::string GetResStringEx(const std::string& key, const std::vector<Variant>& args) {
  if (!state.text_formatter) throw Error::ObjectNotSet();
  return state.text_formatter->TextForKeyWithArgs(key, args);
}

std::string GetStrValue(const Variant& value) {
  if (value.IsNull()) return std::string();
  try {
    return value.ToText();
  } catch (const Error&) {
    return std::string();
  }
}

const std::string& LocaleId() { return state.locale_id; }

Language CreateLanguage(LanguageComponent& component) {
  Language language;
  language.language_manager = component.CreateManager();
  if (!language.language_manager) throw Error::ObjectNotSet();
  language.string_table = language.language_manager->Strings();
  language.text_formatter = component.CreateFormatter();
  const std::shared_ptr<LocaleProvider> locale = language.language_manager->Locale();
  if (!locale) throw Error::ObjectNotSet();
  language.locale_id = locale->GetLocalID().ToText();
  return language;
}

LanguageScope::LanguageScope(const Language& language) : saved_(std::move(state)) {
  state = language;
}

LanguageScope::~LanguageScope() { state = std::move(saved_); }

}  // namespace quillet::modLanguage
