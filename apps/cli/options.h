// Options and exit statuses shared by the commands of the quillet tool.
#ifndef QUILLET_APPS_CLI_OPTIONS_H_
#define QUILLET_APPS_CLI_OPTIONS_H_

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillet::cli {

// Exit statuses: the method returned; the method (or the command's database
// work) raised an error; the command line or a request was unusable.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRaised = 1;
inline constexpr int kExitUsage = 2;

// A command of the tool: its CLI11 subcommand and what runs when it was
// chosen (returning the exit status).
struct Command {
  CLI::App* app;
  std::function<int()> run;
};

// What a session with a component object is opened with.
struct SessionOptions {
  std::string db;
  std::string locale;
  std::vector<std::string> allowed_tasks;
};

// Adds --db to `command`: default from QUILLET_DB, else "sqlite:quillet.db".
// The value is normalized (NormalizeConnectionString): a bare path names a
// SQLite file; an unknown kind of database is a usage error.
void AddDatabaseOption(CLI::App& command, std::string& db);

// Adds --locale to `command`: default from QUILLET_LOCALE, else "zh-CN".
CLI::Option* AddLocaleOption(CLI::App& command, std::string& locale);

// The locale id a person means: "en", "zh" and any case of "en-us",
// "zh-cn" (or with "_") are "en-US" and "zh-CN"; any other id as it stands.
// Pure.
std::string CanonicalLocale(const std::string& locale);

// Adds --db, --locale and the repeatable --allow-task to `command`.
void AddSessionOptions(CLI::App& command, SessionOptions& options);

// The name of the user this process runs as ($USER when the system does not
// tell); empty when neither does.
std::string SignedInUser();

// Writes "quillet <command>: <message>" to stderr.
void ReportProblem(const std::string& command, const std::string& message);

}  // namespace quillet::cli

#endif  // QUILLET_APPS_CLI_OPTIONS_H_
