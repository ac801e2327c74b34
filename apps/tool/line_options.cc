#include "apps/tool/line_options.h"

#include "apps/cli/tool_error.h"

namespace quillet::tool {

void AddValueOptions(CLI::App& command, ValueOptions& options) {
  command.add_option("--date", options.date, "the document date (default: today)")
      ->type_name("YYYY-MM-DD");
  command
      .add_option("--set", options.sets,
                  "a value of the document line, NAME=VALUE (repeatable): lot, department, "
                  "workcenter, warehouse, clerk, supplier, free1 ... free10")
      ->type_name("NAME=VALUE")
      ->take_all()
      ->allow_extra_args(false);
}

namespace {

// Refuses a --set word whose name is no value of a line, saying which word.
void RequireValueName(const std::string& word, const std::string& name) {
  try {
    LineValuesOf({"", "2000-01-01", {{name, ""}}});
  } catch (const Failure& bad) {
    throw cli::ToolUsage("--set " + word + ": " + bad.description(), bad.number());
  }
}

}  // namespace

Line LineOfOptions(const std::string& item, const ValueOptions& options) {
  Line line{item, options.date.value_or(""), {}};
  for (const std::string& word : options.sets) {
    const std::size_t equals = word.find('=');
    if (equals == std::string::npos) {
      throw cli::ToolUsage("--set " + word + ": write NAME=VALUE, e.g. --set department=0101");
    }
    const std::string name = word.substr(0, equals);
    if (name != "date") RequireValueName(word, name);
    if (!line.values.emplace(name, word.substr(equals + 1)).second) {
      throw cli::ToolUsage("--set " + word + ": " + name + " is given twice");
    }
  }
  LineValuesOf(line);
  return line;
}

std::vector<std::string> ValueWords(const Line& line) {
  std::vector<std::string> words;
  for (const auto& [source, value] : LineValuesOf(line)) {
    words.push_back(DataSourceName(source) + "=" + value);
  }
  return words;
}

}  // namespace quillet::tool
