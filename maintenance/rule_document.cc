#include "maintenance/rule_document.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/number_text.h"
#include "quillet/error.h"
#include "quillet/limits.h"

namespace quillet::maintenance {
namespace {

constexpr std::size_t kAttributesPerRow = 7;

std::string AttributeAt(const XmlNode& row, std::size_t index) {
  auto attribute = row.attributeAt(index);
  if (!attribute) throw Error::ObjectNotSet();
  return attribute->text();
}

RuleRow ReadRuleRow(const XmlNode& row) {
  std::array<std::string, kAttributesPerRow> values;
  for (std::size_t i = 0; i < kAttributesPerRow; ++i) values[i] = AttributeAt(row, i);
  RuleRow rule_row;
  rule_row.untrimmed_type = values[1];
  rule_row.segment = {TrimBlanks(values[0]), TrimBlanks(values[1]), TrimBlanks(values[2]),
                      TrimBlanks(values[3]), TrimBlanks(values[4]), TrimBlanks(values[5]),
                      TrimBlanks(values[6])};
  return rule_row;
}

// A text the database reads as a number: decimal, with an optional sign; the
// empty text is stored as 0.
std::optional<double> NumberIn(std::string_view text) {
  if (text.empty()) return 0.0;
  if (text.front() == '+') text.remove_prefix(1);
  return service::ParseNumber<double>(text);
}

[[noreturn]] void RaiseBadSetting(const std::string& name, const std::string& value,
                                  const std::string& expected) {
  throw Error(errc::kInvalidArgument,
              "the running number's " + name + " '" + value + "' is not " + expected);
}

std::optional<int32_t> WholeNumberSetting(const XmlNode& row, const std::string& name) {
  const std::optional<std::string> value = row.getAttribute(name);
  if (!value) return std::nullopt;
  const std::optional<int32_t> number = service::ParseNumber<int32_t>(TrimBlanks(*value));
  if (!number) RaiseBadSetting(name, *value, "a whole number from -2147483648 to 2147483647");
  return number;
}

bool YesNoSetting(const XmlNode& row, const std::string& name) {
  const std::optional<std::string> value = row.getAttribute(name);
  if (!value) return false;
  const std::optional<bool> yes = YesNoOf(TrimBlanks(*value));
  if (!yes) RaiseBadSetting(name, *value, "yes or no");
  return *yes;
}

}  // namespace

void RequireWidthsInRange(const std::vector<RuleRow>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const store::maintenance::Segment& segment = rows[i].segment;
    const std::optional<double> width = NumberIn(segment.width);
    if (!width) continue;
    const bool running_number = NumberIn(segment.source_type) == 10.0;
    const int32_t least = running_number ? limits::kMinRunningNumberWidth : 0;
    if (*width >= least && *width <= limits::kMaxSegmentWidth) continue;
    throw Error(errc::kWidthOutOfRange,
                "Segment " + std::to_string(i + 1) + " (grade " + segment.grade + "): the width " +
                    segment.width + " is outside " + std::to_string(least) + " to " +
                    std::to_string(limits::kMaxSegmentWidth) +
                    (running_number ? " (the digits of the running number)" : ""));
  }
}

NumberingPolicy ReadNumberingPolicy(const std::vector<RuleRow>& rows, const XmlDocument& rule) {
  const std::vector<XmlNode> elements = rule.selectNodes("//row");
  NumberingPolicy policy;
  for (std::size_t i = 0; i < rows.size() && i < elements.size(); ++i) {
    if (rows[i].segment.source_type != "10") continue;
    const XmlNode& row = elements[i];
    if (const std::optional<std::string> restart = row.getAttribute("restart")) {
      const std::optional<Restart> known = RestartOf(TrimBlanks(*restart));
      if (!known) RaiseBadSetting("restart", *restart, "one of " + std::string(RestartWords()));
      policy.restart = *known;
    }
    policy.end = WholeNumberSetting(row, "end");
    policy.warn = WholeNumberSetting(row, "warn");
    policy.journal = YesNoSetting(row, "journal");
    policy.unique = YesNoSetting(row, "unique");
    if (const std::optional<std::string> check = row.getAttribute("check")) {
      policy.check = CheckMethodOf(TrimBlanks(*check));
      if (!policy.check)
        RaiseBadSetting("check", *check, "one of " + std::string(CheckMethodWords()));
    }
    break;
  }
  return policy;
}

std::vector<RuleRow> ReadRuleRows(const XmlDocument& rule) {
  const std::vector<XmlNode> rows = rule.selectNodes("//row");
  // The rows are counted with a 16-bit integer.
  if (rows.size() > static_cast<std::size_t>(std::numeric_limits<int16_t>::max())) {
    throw Error::Overflow();
  }
  std::vector<RuleRow> result;
  result.reserve(rows.size());
  for (const XmlNode& row : rows) result.push_back(ReadRuleRow(row));
  return result;
}

std::string ReadOwnerName(const XmlDocument& rule) {
  auto root = rule.documentElement();
  if (!root) throw Error::ObjectNotSet();
  return root->getAttribute("cinvname").value_or(std::string());
}

bool IsMappedSourceType(std::string_view type) {
  static constexpr std::array<std::string_view, 17> kMappedTypes = {
      "2",  "3",  "4",  "5",  "6",  "7",  "8",  "20", "21",
      "28", "29", "30", "31", "32", "33", "34", "35"};
  for (const std::string_view mapped : kMappedTypes) {
    if (type == mapped) return true;
  }
  return false;
}

std::string TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string();
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace quillet::maintenance
