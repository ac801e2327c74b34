// How the commands of the quillet tool fail: one line on stderr and an exit
// status, never a trace of internals.
#ifndef QUILLET_APPS_CLI_TOOL_ERROR_H_
#define QUILLET_APPS_CLI_TOOL_ERROR_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillet::cli {

// The operation failed (exit status 1). `number` is the error number of the
// layer that raised, when there was one.
class ToolFailure : public std::runtime_error {
 public:
  explicit ToolFailure(const std::string& message, std::optional<int32_t> number = std::nullopt)
      : std::runtime_error(message), number_(number) {}
  std::optional<int32_t> number() const { return number_; }

 private:
  std::optional<int32_t> number_;
};

// The command line cannot be carried out as written (exit status 2).
// `number` is the component's error number where the component refuses the
// same.
class ToolUsage : public std::runtime_error {
 public:
  explicit ToolUsage(const std::string& message, std::optional<int32_t> number = std::nullopt)
      : std::runtime_error(message), number_(number) {}
  std::optional<int32_t> number() const { return number_; }

 private:
  std::optional<int32_t> number_;
};

// Runs a command's body and returns its exit status. What it throws becomes
// one line on stderr:
//   ToolFailure        "quillet: error N: MESSAGE" (or "quillet: MESSAGE"), 1
//   quillet::Error     "quillet: error N: DESCRIPTION", 1; a database's error
//                      "quillet: CODE: MESSAGE (PLACE; error N)" (see
//                      DatabaseMessage)
//   quillet::Failure   as quillet::Error, but a request that is invalid as
//                      written as ToolUsage, 2
//   ToolUsage and the notation errors
//                      "quillet: MESSAGE (see 'quillet COMMAND --help')", 2;
//                      "quillet: error N: MESSAGE (see ...)" with a number
// Every line is one line: control characters in a message (a value holding a
// line feed) are written as escapes, \n, \r, \t, \u{HEX} (see OneLine).
// `command` is the command's path, e.g. "rule save".
int RunReported(const std::string& command, const std::function<int()>& body);

// `text` with its control characters written as the segment notation's
// escapes, so that it stays on one line.
std::string OneLine(std::string_view text);

// The line RunReported writes for a failure, without the line end.
std::string FailureLine(const std::string& message, std::optional<int32_t> number);

// Names the database of this run (a connection string) in the lines of its
// database errors. Set once, before a command runs.
void NameDatabaseInMessages(std::string connection_string);

}  // namespace quillet::cli

#endif  // QUILLET_APPS_CLI_TOOL_ERROR_H_
