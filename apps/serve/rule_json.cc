#include "apps/serve/rule_json.h"

#include <array>
#include <optional>
#include <string_view>

#include "apps/serve/problem.h"
#include "core/segment_notation.h"

namespace quillet::serve {
namespace {

using nlohmann::json;

constexpr std::array<std::string_view, 3> kHeadKeys = {"pattern", "level", "text"};
constexpr std::array<std::string_view, 12> kSettingKeys = {"width", "step",    "start",   "pad",
                                                           "fill",  "format",  "restart", "end",
                                                           "warn",  "journal", "unique",  "check"};
constexpr std::array<std::string_view, 2> kIgnoredKeys = {"type", "notation"};

template <std::size_t N>
bool Among(const std::array<std::string_view, N>& keys, std::string_view key) {
  for (const std::string_view known : keys) {
    if (known == key) return true;
  }
  return false;
}

// A setting's text: a string, or a whole number for the numeric settings.
// A setting's text: a string, a whole number for the numeric settings, true
// or false for the policies that are yes or no.
std::string SettingText(const json& value, std::string_view key, const std::string& field) {
  if (value.is_string()) return value.get<std::string>();
  const bool numeric = key == "width" || key == "step" || key == "start" || key == "level" ||
                       key == "end" || key == "warn";
  const bool yes_no = key == "journal" || key == "unique";
  if (numeric && value.is_number_integer()) return value.dump();
  if (yes_no && value.is_boolean()) return value.get<bool>() ? "yes" : "no";
  throw BadInput(field, field + "." + std::string(key) + " must be " +
                            (numeric  ? "a whole number or a string"
                             : yes_no ? "true or false"
                                      : "a string"));
}

// The policies that are on, under the keys of their settings.
void AddPolicy(json& object, const NumberingPolicy& policy) {
  if (policy.restart != Restart::kNever) object["restart"] = RestartWord(policy.restart);
  if (policy.end) object["end"] = *policy.end;
  if (policy.warn) object["warn"] = *policy.warn;
  if (policy.journal) object["journal"] = true;
  if (policy.unique) object["unique"] = true;
  if (policy.check) object["check"] = CheckMethodWord(*policy.check);
}

std::string ObjectWord(const json& segment, const std::string& field) {
  const auto source_member = segment.find("source");
  if (source_member == segment.end() || !source_member->is_string()) {
    throw BadInput(field, field + ".source must name the data source, e.g. \"department\"");
  }
  const std::string source_name = source_member->get<std::string>();
  const std::optional<int> type = notation::SourceType(source_name);
  std::string word = notation::EscapeSegmentValue(source_name);
  std::string settings;
  for (const auto& [key, value] : segment.items()) {
    if (key == "source" || Among(kIgnoredKeys, key)) continue;
    if (Among(kHeadKeys, key)) {
      const std::optional<std::string_view> own =
          type ? notation::SourceHeadKey(*type) : std::nullopt;
      if (own && *own != key) {
        throw BadInput(field, field + ": " + source_name + " takes its " + std::string(*own) +
                                  " as \"" + std::string(*own) + "\", not \"" + key + "\"");
      }
      if (!own && type) {
        throw BadInput(field, field + ": " + source_name + " takes no " + key);
      }
      word += "=" + notation::EscapeSegmentValue(SettingText(value, key, field));
    } else if (Among(kSettingKeys, key)) {
      settings += "," + key + "=" + notation::EscapeSegmentValue(SettingText(value, key, field));
    } else {
      throw BadInput(field, field + ": unknown setting \"" + key +
                                "\" (settings: source, pattern, level, text, width, pad, fill, "
                                "step, start, format, restart, end, warn, journal, unique, check)");
    }
  }
  return word + settings;
}

}  // namespace

json SegmentJson(const Segment& segment) {
  const int type = static_cast<int>(segment.source);
  json object = {{"source", DataSourceName(segment.source)},
                 {"type", type},
                 {"notation", FormatSegment(segment)},
                 {"width", segment.width},
                 {"pad", segment.pad},
                 {"fill", segment.fill},
                 {"step", segment.step}};
  const bool numbered = segment.source == DataSource::kRunningNumber;
  if (const std::optional<std::string_view> head = notation::SourceHeadKey(type)) {
    object[std::string(*head)] = segment.format;
  } else {
    object[numbered ? "start" : "format"] = segment.format;
  }
  if (numbered) AddPolicy(object, segment.policy);
  return object;
}

json RuleJson(const Rule& rule) {
  json segments = json::array();
  for (const Segment& segment : rule.segments) segments.push_back(SegmentJson(segment));
  return {{"owner", FormatOwner(rule.owner)},
          {"owner_name", rule.owner_name},
          {"name", rule.name},
          {"next_number", rule.next_number},
          {"segments", segments}};
}

std::string SegmentWord(const json& segment, const std::string& field) {
  if (segment.is_string()) return segment.get<std::string>();
  if (segment.is_object()) return ObjectWord(segment, field);
  throw BadInput(field, field + " must be a segment object or a segment word");
}

}  // namespace quillet::serve
