#include "apps/serve/line_body.h"

#include "apps/serve/json_body.h"
#include "apps/serve/problem.h"

namespace quillet::serve {
namespace {

using nlohmann::json;

std::map<std::string, std::string> ValuesOf(const json& body) {
  const auto member = body.find("values");
  if (member == body.end() || member->is_null()) return {};
  if (!member->is_object()) {
    throw BadInput("values", "values must be an object such as {\"department\": \"0101\"}");
  }
  std::map<std::string, std::string> values;
  for (const auto& [name, value] : member->items()) {
    if (!value.is_string()) throw BadInput("values", "values." + name + " must be a string");
    values[name] = value.get<std::string>();
  }
  return values;
}

}  // namespace

Line LineOf(const std::string& item, const json& body) {
  Line line{item, OptionalText(body, "date").value_or(""), ValuesOf(body)};
  try {
    LineValuesOf(line);
  } catch (const Failure& bad) {
    const std::string message = bad.description();
    throw BadInput(message.starts_with("date") ? "date" : "values", message);
  }
  return line;
}

json ValuesJson(const Line& line) {
  json values = json::object();
  for (const auto& [source, value] : LineValuesOf(line)) values[DataSourceName(source)] = value;
  return values;
}

}  // namespace quillet::serve
