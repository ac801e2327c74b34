#include "apps/tool/call_login.h"

#include <set>
#include <string>

#include "quillet/language.h"

namespace quillet::tool {

std::shared_ptr<Login> StartSession(const cli::SessionOptions& options) {
  SetLanguageComponent(BuiltinLanguage(options.locale));
  return std::make_shared<ConfiguredLogin>(
      options.db, std::set<std::string>(options.allowed_tasks.begin(), options.allowed_tasks.end()),
      cli::SignedInUser());
}

}  // namespace quillet::tool
