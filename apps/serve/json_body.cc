#include "apps/serve/json_body.h"

#include <httplib.h>

#include <algorithm>

#include "apps/serve/problem.h"
#include "quillet/error.h"
#include "quillet/json_text.h"

namespace quillet::serve {
namespace {

using nlohmann::json;

const json* Member(const json& object, const std::string& name) {
  const auto found = object.find(name);
  if (found == object.end() || found->is_null()) return nullptr;
  return &*found;
}

}  // namespace

void WriteJson(httplib::Response& response, const json& value, int status) {
  response.status = status;
  response.set_content(ResponseLine(value), "application/json");
}

json BodyObject(const std::string& body, std::initializer_list<std::string_view> allowed) {
  if (body.find_first_not_of(" \t\r\n") == std::string::npos) return json::object();
  json object;
  try {
    object = ParseJson(body);
  } catch (const Error& malformed) {
    throw BadInput("body", "the body is not JSON: " + malformed.description());
  }
  if (!object.is_object()) throw BadInput("body", "the body must be a JSON object");
  for (const auto& [name, value] : object.items()) {
    if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
      std::string names;
      for (const std::string_view known : allowed) {
        names += (names.empty() ? "" : ", ") + std::string(known);
      }
      throw BadInput(name, "unknown member '" + name + "' (members: " + names + ")");
    }
  }
  return object;
}

std::optional<std::string> OptionalText(const json& object, const std::string& name) {
  const json* value = Member(object, name);
  if (value == nullptr) return std::nullopt;
  if (!value->is_string()) throw BadInput(name, name + " must be a string");
  return value->get<std::string>();
}

std::optional<bool> OptionalFlag(const json& object, const std::string& name) {
  const json* value = Member(object, name);
  if (value == nullptr) return std::nullopt;
  if (!value->is_boolean()) throw BadInput(name, name + " must be true or false");
  return value->get<bool>();
}

std::optional<int64_t> OptionalWhole(const json& object, const std::string& name, int64_t minimum,
                                     int64_t maximum) {
  const json* value = Member(object, name);
  if (value == nullptr) return std::nullopt;
  const std::string range = std::to_string(minimum) + " to " + std::to_string(maximum);
  if (!value->is_number_integer()) {
    throw BadInput(name, name + " must be a whole number from " + range);
  }
  const int64_t number =
      value->is_number_unsigned() && value->get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)
          ? INT64_MAX
          : value->get<int64_t>();
  if (number < minimum || number > maximum) {
    throw BadInput(name, name + " " + value->dump() + " is not from " + range);
  }
  return number;
}

std::string RequiredText(const json& object, const std::string& name) {
  std::optional<std::string> text = OptionalText(object, name);
  if (!text) throw BadInput(name, name + " is missing");
  return *std::move(text);
}

}  // namespace quillet::serve
