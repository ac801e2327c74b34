// JSON in and out of the service's resources: request bodies read member by
// member, each failure naming its member; responses written as one line.
#ifndef QUILLET_SERVE_JSON_BODY_H_
#define QUILLET_SERVE_JSON_BODY_H_

#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace httplib {
struct Response;
}

namespace quillet::serve {

// Answers `value` as application/json (one line; bytes that are not UTF-8
// become U+FFFD).
void WriteJson(httplib::Response& response, const nlohmann::json& value, int status = 200);

// A request body as a JSON object; an empty body is {}. Raises a 400 Problem
// naming "body" for a text that is not JSON or not an object, and naming the
// member for one that is not among `allowed`.
nlohmann::json BodyObject(const std::string& body, std::initializer_list<std::string_view> allowed);

// The member `name` of `object`, absent or null as nullopt. Each raises a 400
// Problem naming the member when it has another JSON type (or lies outside
// the range).
std::optional<std::string> OptionalText(const nlohmann::json& object, const std::string& name);
std::optional<bool> OptionalFlag(const nlohmann::json& object, const std::string& name);
std::optional<int64_t> OptionalWhole(const nlohmann::json& object, const std::string& name,
                                     int64_t minimum, int64_t maximum);

// As OptionalText, and a 400 Problem when the member is missing.
std::string RequiredText(const nlohmann::json& object, const std::string& name);

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_JSON_BODY_H_
