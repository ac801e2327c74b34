#include "apps/serve/thread_locale.h"

#include <memory>
#include <mutex>
#include <optional>
#include <set>

#include "quillet/language.h"
#include "quillet/quillet.h"

namespace quillet::serve {
namespace {

// Only init sets a thread's language state up, and init opens a connection
// first: an in-memory database costs no file and no server.
constexpr const char* kScratchDatabase = "sqlite::memory:";

thread_local std::optional<std::string> thread_locale;

std::mutex fallback_mutex;
std::string fallback_locale;  // guarded by fallback_mutex

std::string CurrentLocale() {
  if (thread_locale) return *thread_locale;
  const std::lock_guard<std::mutex> lock(fallback_mutex);
  return fallback_locale;
}

// Hands out the built-in language objects of the calling thread's locale.
class ThreadLocaleLanguage : public LanguageComponent {
 public:
  std::shared_ptr<LanguageManager> CreateManager() override {
    return BuiltinLanguage(CurrentLocale())->CreateManager();
  }
  std::shared_ptr<TextFormatter> CreateFormatter() override {
    return BuiltinLanguage(CurrentLocale())->CreateFormatter();
  }
};

}  // namespace

void InstallThreadLocaleLanguage(const std::string& fallback) {
  {
    const std::lock_guard<std::mutex> lock(fallback_mutex);
    fallback_locale = fallback;
  }
  SetLanguageComponent(std::make_shared<ThreadLocaleLanguage>());
}

void SetThreadLocale(const std::string& locale) { thread_locale = locale; }

void SwitchThreadLocale(const std::string& locale) {
  SetThreadLocale(locale);
  clsQuillet scratch;
  std::shared_ptr<Login> login =
      std::make_shared<ConfiguredLogin>(kScratchDatabase, std::set<std::string>{});
  scratch.init(login);
}

}  // namespace quillet::serve
