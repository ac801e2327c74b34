#include "apps/tool/rule_words.h"

#include <optional>

#include "apps/cli/tool_error.h"

namespace quillet::tool {

std::vector<Segment> ParseSegmentWords(const std::vector<std::string>& words) {
  std::vector<Segment> segments;
  for (std::size_t i = 0; i < words.size(); ++i) {
    try {
      segments.push_back(ParseSegment(words[i]));
    } catch (const Failure& bad) {
      const std::optional<int32_t> number =
          bad.number() == errc::kBadRequest ? std::nullopt : std::optional<int32_t>(bad.number());
      throw cli::ToolUsage(
          "segment " + std::to_string(i + 1) + " '" + words[i] + "': " + bad.description(), number);
    }
  }
  return segments;
}

std::string NextNumberText(const Rule& rule, const std::string& none) {
  const NumberingPolicy policy = rule.policy();
  if (policy.restart != Restart::kNever) {
    for (const Segment& segment : rule.segments) {
      if (segment.source != DataSource::kRunningNumber) continue;
      return "from " + segment.format +
             (policy.restart == Restart::kPrefix
                  ? " for each prefix"
                  : " every " + std::string(RestartWord(policy.restart)));
    }
  }
  return rule.next_number.empty() ? none : rule.next_number;
}

Rule RequireOwnRule(Numbering& numbering, const RuleOwner& owner) {
  try {
    return numbering.GetRule(owner);
  } catch (const Failure& missing) {
    // An item that follows another owner's rule: say how to see which.
    if (missing.description().find(" follow") == std::string::npos) throw;
    throw cli::ToolFailure(missing.description() + " (see 'quillet preview " + owner.code + "')",
                           missing.number());
  }
}

}  // namespace quillet::tool
