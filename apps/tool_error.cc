#include "apps/tool_error.h"

#include <iostream>
#include <utility>

#include "apps/connection_string.h"
#include "apps/database_message.h"
#include "apps/options.h"
#include "apps/owner_notation.h"
#include "apps/segment_notation.h"
#include "quillet/error.h"

namespace quillet::apps {
namespace {

std::string& DatabaseInMessages() {
  static std::string connection_string;
  return connection_string;
}

int ReportUsage(const std::string& command, const std::string& message) {
  std::cerr << "quillet: " << message << " (see 'quillet " << command << " --help')" << std::endl;
  return kExitUsage;
}

int ReportFailure(const std::string& message, std::optional<int32_t> number) {
  std::cerr << FailureLine(message, number) << std::endl;
  return kExitRaised;
}

}  // namespace

std::string FailureLine(const std::string& message, std::optional<int32_t> number) {
  if (!number) return "quillet: " + message;
  const std::string& database = DatabaseInMessages();
  if (std::optional<std::string> coded =
          DatabaseMessage(message, *number, database.empty() ? "" : DatabasePlace(database))) {
    return "quillet: " + *coded;
  }
  return "quillet: error " + std::to_string(*number) + ": " + message;
}

void NameDatabaseInMessages(std::string connection_string) {
  DatabaseInMessages() = std::move(connection_string);
}

int RunReported(const std::string& command, const std::function<int()>& body) {
  try {
    return body();
  } catch (const ToolUsage& usage) {
    return ReportUsage(command, usage.what());
  } catch (const NotationError& bad) {
    return ReportUsage(command, bad.what());
  } catch (const OwnerNotationError& bad) {
    return ReportUsage(command, bad.what());
  } catch (const ToolFailure& failure) {
    return ReportFailure(failure.what(), failure.number());
  } catch (const Error& error) {
    return ReportFailure(error.description(), error.number());
  } catch (const std::exception& unexpected) {
    return ReportFailure(std::string("unexpected failure: ") + unexpected.what(), std::nullopt);
  }
}

}  // namespace quillet::apps
