#include "apps/line_values.h"

#include <ctime>
#include <regex>

#include "apps/nearest_word.h"
#include "apps/segment_notation.h"
#include "apps/tool_error.h"
#include "core/ascii_case.h"
#include "core/value_document.h"

namespace quillet::apps {
namespace {

// The data source type of a --set name.
int TypeOfName(const std::string& name) {
  const std::string lower = service::AsciiLowered(name);
  for (const StandardRow& row : StandardRows()) {
    if (service::AsciiLowered(row.name) == lower) return std::stoi(row.itype);
  }
  const std::optional<int> type = SourceType(lower);
  if (type && IsLineValue(*type)) return *type;
  if (type) {
    throw ToolUsage("--set " + name + ": " + SourceName(*type) +
                    " is not a value of the document line (the rule takes it from the item, "
                    "its own text or its running number)");
  }
  std::vector<std::string> names;
  for (const std::string_view source_name : SourceNames()) {
    if (IsLineValue(*SourceType(source_name))) names.emplace_back(source_name);
  }
  throw ToolUsage("--set " + name + ": unknown value" + DidYouMean(lower, names) +
                  " (values: date, lot, department, workcenter, warehouse, clerk, supplier, "
                  "free1 ... free10)");
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

void RequireDate(const std::string& date) {
  static const std::regex kDate(
      R"((\d{4})-(0[1-9]|1[0-2])-(0[1-9]|[12]\d|3[01])([ T]([01]\d|2[0-3]):[0-5]\d(:[0-5]\d)?)?)");
  if (!std::regex_match(date, kDate)) {
    throw ToolUsage("date '" + date + "' is not written YYYY-MM-DD (optionally with HH:MM:SS)");
  }
}

}  // namespace

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

LineValues ReadLineValues(const std::string& item, const ValueOptions& options) {
  LineValues line{item, {}};
  if (options.date) line.values[source::kDate] = *options.date;
  for (const std::string& word : options.sets) {
    const std::size_t equals = word.find('=');
    if (equals == std::string::npos) {
      throw ToolUsage("--set " + word + ": write NAME=VALUE, e.g. --set department=0101");
    }
    const int type = TypeOfName(word.substr(0, equals));
    if (!line.values.emplace(type, word.substr(equals + 1)).second) {
      throw ToolUsage("--set " + word + ": " + ValueName(type) + " is given twice");
    }
  }
  if (!line.values.contains(source::kDate)) line.values[source::kDate] = Today();
  RequireDate(line.values[source::kDate]);
  return line;
}

std::shared_ptr<XmlDocument> ValueDocument(const LineValues& line, std::optional<int> count) {
  auto document = std::make_shared<XmlDocument>();
  document->loadXML(StandardRowSetText());
  for (const auto& [type, value] : line.values) {
    std::optional<XmlNode> row = RowOfType(*document, type);
    if (row) row->setAttribute("value", value);
  }
  AddItemCodeRow(*document, line.item);
  if (count) document->documentElement()->setAttribute("count", std::to_string(*count));
  return document;
}

std::string ValueName(int type) { return SourceName(type); }

std::vector<std::string> ValueWords(const LineValues& line) {
  std::vector<std::string> words;
  for (const auto& [type, value] : line.values) words.push_back(ValueName(type) + "=" + value);
  return words;
}

}  // namespace quillet::apps
