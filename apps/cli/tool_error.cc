#include "apps/cli/tool_error.h"

#include <iostream>
#include <utility>

#include "apps/cli/connection_string.h"
#include "apps/cli/database_message.h"
#include "apps/cli/options.h"
#include "core/segment_notation.h"
#include "quillet/error.h"
#include "quillet/failure.h"

namespace quillet::cli {
namespace {

std::string& DatabaseInMessages() {
  static std::string connection_string;
  return connection_string;
}

int ReportUsage(const std::string& command, const std::string& message,
                std::optional<int32_t> number = std::nullopt) {
  const std::string numbered = number ? "error " + std::to_string(*number) + ": " : "";
  std::cerr << "quillet: " << numbered << OneLine(message) << " (see 'quillet " << command
            << " --help')" << std::endl;
  return kExitUsage;
}

int ReportFailure(const std::string& message, std::optional<int32_t> number) {
  std::cerr << FailureLine(message, number) << std::endl;
  return kExitRaised;
}

}  // namespace

std::string OneLine(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line;
  line.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else if (c == '\t') {
      line += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      line += "\\u{";
      if (byte >= 0x10) line += kHex[byte >> 4];
      line += kHex[byte & 0xF];
      line += '}';
    } else {
      line += c;
    }
  }
  return line;
}

std::string FailureLine(const std::string& message, std::optional<int32_t> number) {
  if (!number) return "quillet: " + OneLine(message);
  const std::string& database = DatabaseInMessages();
  if (std::optional<std::string> coded =
          DatabaseMessage(message, *number, database.empty() ? "" : DatabasePlace(database))) {
    return "quillet: " + OneLine(*coded);
  }
  return "quillet: error " + std::to_string(*number) + ": " + OneLine(message);
}

void NameDatabaseInMessages(std::string connection_string) {
  DatabaseInMessages() = std::move(connection_string);
}

int RunReported(const std::string& command, const std::function<int()>& body) {
  try {
    return body();
  } catch (const ToolUsage& usage) {
    return ReportUsage(command, usage.what(), usage.number());
  } catch (const notation::NotationError& bad) {
    return ReportUsage(command, bad.what(), bad.number());
  } catch (const Failure& failure) {
    if (failure.kind() == FailureKind::kInvalidRequest) {
      return ReportUsage(command, failure.description(), failure.number());
    }
    return ReportFailure(failure.description(), failure.number());
  } catch (const ToolFailure& failure) {
    return ReportFailure(failure.what(), failure.number());
  } catch (const Error& error) {
    return ReportFailure(error.description(), error.number());
  } catch (const std::exception& unexpected) {
    return ReportFailure(std::string("unexpected failure: ") + unexpected.what(), std::nullopt);
  }
}

}  // namespace quillet::cli
