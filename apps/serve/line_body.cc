#include "apps/serve/line_body.h"

#include <vector>

#include "apps/serve/json_body.h"
#include "apps/serve/problem.h"
#include "apps/tool_error.h"

namespace quillet::apps::serve {
namespace {

using nlohmann::json;

// The tool's --set words of the "values" member.
std::vector<std::string> ValueSets(const json& body) {
  const auto member = body.find("values");
  if (member == body.end() || member->is_null()) return {};
  if (!member->is_object()) {
    throw BadInput("values", "values must be an object such as {\"department\": \"0101\"}");
  }
  std::vector<std::string> sets;
  for (const auto& [name, value] : member->items()) {
    if (!value.is_string()) throw BadInput("values", "values." + name + " must be a string");
    sets.push_back(name + "=" + value.get<std::string>());
  }
  return sets;
}

}  // namespace

LineValues LineOf(const std::string& item, const json& body) {
  ValueOptions options{OptionalText(body, "date"), ValueSets(body)};
  try {
    return ReadLineValues(item, options);
  } catch (const ToolUsage& bad) {
    // The tool's words name its option; here the member is the field.
    std::string message = bad.what();
    if (message.starts_with("--set ")) message.erase(0, 6);
    throw BadInput(message.starts_with("date") ? "date" : "values", message);
  }
}

json ValuesJson(const LineValues& line) {
  json values = json::object();
  for (const std::string& word : ValueWords(line)) {
    const std::size_t equals = word.find('=');
    values[word.substr(0, equals)] = word.substr(equals + 1);
  }
  return values;
}

}  // namespace quillet::apps::serve
