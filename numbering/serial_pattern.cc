#include "numbering/serial_pattern.h"

#include <regex>
#include <string_view>
#include <vector>

#include "core/check_character.h"

namespace quillet::numbering {
namespace {

std::string Literal(std::string_view text) {
  static const std::string kSpecial = R"(\^$.|?*+()[]{})";
  std::string out;
  for (const char c : text) {
    if (kSpecial.find(c) != std::string::npos) out += '\\';
    out += c;
  }
  return out;
}

// The fields of a date pattern as digits, the other characters as they stand.
std::string DatePattern(const std::string& pattern) {
  // A pattern shorter than three characters leaves the date as the document
  // gives it.
  if (pattern.size() < 3) return R"([\s\S]+?)";
  std::string out;
  std::string_view rest = pattern;
  while (!rest.empty()) {
    if (rest.starts_with("YYYY")) {
      out += R"(\d{4})";
      rest.remove_prefix(4);
    } else if (rest.starts_with("YY") || rest.starts_with("MM") || rest.starts_with("DD") ||
               rest.starts_with("HH") || rest.starts_with("SS")) {
      out += R"(\d{2})";
      rest.remove_prefix(2);
    } else {
      out += Literal(rest.substr(0, 1));
      rest.remove_prefix(1);
    }
  }
  return out;
}

bool IsMapped(DataSource source) {
  switch (source) {
    case DataSource::kDepartment:
    case DataSource::kWorkCenter:
    case DataSource::kWarehouse:
    case DataSource::kClerk:
    case DataSource::kSupplier:
    case DataSource::kItemClass:
    case DataSource::kItem:
      return true;
    default:
      return false;
  }
}

std::string Any(int32_t least, int32_t most) {
  return R"([\s\S]{)" + std::to_string(least) + (least == most ? "" : "," + std::to_string(most)) +
         "}";
}

std::string SegmentPattern(const Segment& segment) {
  switch (segment.source) {
    case DataSource::kText:
      return Literal(segment.format);
    case DataSource::kDate:
      return DatePattern(segment.format);
    case DataSource::kRunningNumber:
      return R"(\d{)" + std::to_string(segment.width) + "}";
    default:
      break;
  }
  if (segment.width <= 0) return {};
  return IsMapped(segment.source) ? Any(1, segment.width) : Any(segment.width, segment.width);
}

std::regex RulePattern(const Rule& rule) {
  std::string pattern;
  for (const Segment& segment : rule.segments) pattern += "(" + SegmentPattern(segment) + ")";
  return std::regex(pattern, std::regex::ECMAScript | std::regex::icase);
}

// The matched groups into the fit's parts.
void TakeParts(const Rule& rule, const std::smatch& match, SerialFit& fit) {
  bool after_number = false;
  for (std::size_t i = 0; i < rule.segments.size(); ++i) {
    const Segment& segment = rule.segments[i];
    const std::string text = match[i + 1].str();
    if (segment.source == DataSource::kRunningNumber) {
      fit.running_number = text;
      fit.digits = segment.width;
      after_number = true;
      continue;
    }
    if (segment.source == DataSource::kDate && fit.date_pattern.empty()) {
      fit.date_part = text;
      fit.date_pattern = segment.format;
    }
    (after_number ? fit.suffix : fit.prefix) += text;
  }
}

}  // namespace

std::optional<SerialFit> FitSerial(const Rule& rule, const std::string& serial) {
  if (rule.segments.empty()) return std::nullopt;
  const std::optional<CheckMethod> check = rule.policy().check;
  std::string body = serial;
  if (check) {
    if (serial.size() <= CheckLength(*check)) return std::nullopt;
    body.resize(serial.size() - CheckLength(*check));
  }
  std::smatch match;
  try {
    if (!std::regex_match(body, match, RulePattern(rule))) return std::nullopt;
  } catch (const std::regex_error&) {
    return std::nullopt;  // a pattern too complex to read back
  }
  SerialFit fit;
  fit.owner = rule.owner;
  fit.rule = rule.name;
  TakeParts(rule, match, fit);
  fit.check = check;
  if (check) fit.check_right = HasValidCheckCharacters(*check, serial);
  return fit;
}

}  // namespace quillet::numbering
