#include "apps/tool/completion.h"

#include <algorithm>
#include <string_view>

#include "apps/tool/command_line_walk.h"
#include "apps/tool/method_listing.h"
#include "core/segment_notation.h"

namespace quillet::tool {
namespace {

using notation::IsLineValue;
using notation::IsMappedSource;
using notation::SourceHeadMeaning;
using notation::SourceNames;
using notation::SourceType;
using notation::UsesWidth;

using Words = std::vector<std::string>;

Words SegmentStarts() {
  Words starts;
  for (const std::string_view name : SourceNames()) {
    const int type = *SourceType(name);
    if (SourceHeadMeaning(type)) {
      starts.push_back(std::string(name) + "=");
    } else if (UsesWidth(type)) {
      starts.push_back(std::string(name) + ",width=");
    } else {
      starts.emplace_back(name);
    }
  }
  return starts;
}

Words SourcesWhere(bool (*keep)(int)) {
  Words names;
  for (const std::string_view name : SourceNames()) {
    if (keep(*SourceType(name))) names.emplace_back(name);
  }
  return names;
}

Words OptionValues(const CLI::Option& option) {
  const std::string name = option.get_lnames().empty() ? "" : option.get_lnames().front();
  if (name == "db") return {"sqlite:", "postgresql:", kCompleteFiles};
  if (name == "locale") return {"zh-CN", "en-US"};
  if (name == "args-file") return {kCompleteFiles};
  if (name == "set") {
    Words names = SourcesWhere(IsLineValue);
    for (std::string& word : names) word += "=";
    return names;
  }
  return {};
}

Words PositionalValues(const CLI::Option& positional) {
  const std::string& name = positional.get_name();
  if (name == "OWNER") return {"item:", "class:", "all"};
  if (name == "SEGMENT") return SegmentStarts();
  if (name == "SOURCE") return SourcesWhere(IsMappedSource);
  if (name == "METHOD") return MethodNames();
  return {};
}

// `quillet help WORD...`: the commands below the ones already named.
Words HelpTopics(const CLI::App& tool, const Words& before) {
  const auto help_at = std::find(before.begin(), before.end(), "help");
  const CommandLineWalk topic = WalkCommandLine(tool, Words(help_at + 1, before.end()));
  if (topic.unknown) return {};
  return SubcommandNames(*topic.command);
}

Words Starting(const Words& candidates, const std::string& typed) {
  Words kept;
  for (const std::string& candidate : candidates) {
    if (candidate == kCompleteFiles || candidate.starts_with(typed)) kept.push_back(candidate);
  }
  return kept;
}

}  // namespace

std::vector<std::string> CompletionCandidates(const CLI::App& tool, const Words& words) {
  const std::string typed = words.empty() ? "" : words.back();
  const Words before(words.begin(), words.empty() ? words.end() : words.end() - 1);
  const CommandLineWalk walk = WalkCommandLine(tool, before);
  if (walk.unknown) return {};
  if (walk.awaiting != nullptr) return Starting(OptionValues(*walk.awaiting), typed);
  if (typed.starts_with("-")) return Starting(OptionNames(*walk.command), typed);
  if (walk.path == "help") return Starting(HelpTopics(tool, before), typed);
  Words candidates = SubcommandNames(*walk.command);
  if (const CLI::Option* positional = PositionalAt(*walk.command, walk.positionals)) {
    for (std::string& value : PositionalValues(*positional)) candidates.push_back(value);
  }
  return Starting(candidates, typed);
}

}  // namespace quillet::tool
