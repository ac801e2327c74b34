// Options shared by the commands that open a session with a component object.
#include "apps/cli/options.h"

#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <iostream>
#include <set>

#include "apps/cli/connection_string.h"
#include "apps/cli/tool_error.h"

namespace quillet::cli {

void AddDatabaseOption(CLI::App& command, std::string& db) {
  db = "sqlite:quillet.db";
  command
      .add_option("--db", db,
                  "the database: a SQLite file (PATH or sqlite:PATH) or postgresql:CONNINFO")
      ->envname("QUILLET_DB")
      ->capture_default_str()
      ->transform(
          [](const std::string& value) {
            try {
              return NormalizeConnectionString(value);
            } catch (const ToolUsage& bad) {
              throw CLI::ValidationError(bad.what());
            }
          },
          "", "");
}

CLI::Option* AddLocaleOption(CLI::App& command, std::string& locale) {
  locale = "zh-CN";
  return command.add_option("--locale", locale, "locale id answered by the language component")
      ->envname("QUILLET_LOCALE")
      ->capture_default_str();
}

std::string CanonicalLocale(const std::string& locale) {
  std::string folded;
  for (const char c : locale) {
    folded += c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (folded == "en" || folded == "en-us") return "en-US";
  if (folded == "zh" || folded == "zh-cn") return "zh-CN";
  return locale;
}

void AddSessionOptions(CLI::App& command, SessionOptions& options) {
  AddDatabaseOption(command, options.db);
  AddLocaleOption(command, options.locale);
  command
      .add_option("--allow-task", options.allowed_tasks,
                  "a task id that the login object allows (repeatable)")
      ->take_all()
      ->allow_extra_args(false);
}

std::string SignedInUser() {
  if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr) {
    return entry->pw_name;
  }
  const char* user = std::getenv("USER");
  return user ? user : "";
}

void ReportProblem(const std::string& command, const std::string& message) {
  std::cerr << "quillet " << command << ": " << OneLine(message) << std::endl;
}

}  // namespace quillet::cli
