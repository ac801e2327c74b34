#include "generation/counter_key.h"

#include <optional>

#include "core/text_functions.h"
#include "core/value_document.h"
#include "generation/policy_refusal.h"

namespace quillet::generation {
namespace {

constexpr char kPrefixSeparator = '\x1f';

std::string::size_type PeriodLength(Restart restart) {
  switch (restart) {
    case Restart::kYear:
      return 4;
    case Restart::kMonth:
      return 7;
    default:
      return 10;
  }
}

}  // namespace

std::string DocumentDate(const XmlDocument& values) {
  const std::optional<XmlNode> row = RowOfType(values, 0);
  if (!row) return {};
  return row->getAttribute("value").value_or("");
}

std::string CounterKey(Restart restart, const XmlDocument& values, const std::string& prefix,
                       const std::string& suffix, const std::string& rule) {
  if (restart == Restart::kNever) return {};
  if (restart == Restart::kPrefix) return prefix + kPrefixSeparator + suffix;
  const std::string date = DocumentDate(values);
  const std::optional<std::string> day = DayOfDateValue(date);
  if (!day) {
    throw PolicyRefusal(errc::kNoRestartKey,
                        "the rule of " + rule + " starts its running number again every " +
                            std::string(RestartWord(restart)) +
                            ", which needs the document date, and " +
                            (date.empty() ? std::string("the line has none")
                                          : "the line's date '" + date + "' is not a date"));
  }
  return day->substr(0, PeriodLength(restart));
}

}  // namespace quillet::generation
