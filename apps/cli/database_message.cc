#include "apps/cli/database_message.h"

#include <regex>

namespace quillet::cli {

std::optional<std::string> DatabaseMessage(std::string_view description, int32_t number,
                                           std::string_view place) {
  static const std::regex kCoded(R"(^([\s\S]*) \((SQLITE_[A-Z_]+|SQLSTATE [0-9A-Z]{5})\)$)");
  std::match_results<std::string_view::const_iterator> match;
  if (!std::regex_match(description.begin(), description.end(), match, kCoded)) {
    return std::nullopt;
  }
  std::string where = place.empty() ? "" : std::string(place) + "; ";
  return match[2].str() + ": " + match[1].str() + " (" + where + "error " + std::to_string(number) +
         ")";
}

}  // namespace quillet::cli
