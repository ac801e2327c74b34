#include "numbering/line_document.h"

#include <ctime>
#include <regex>
#include <vector>

#include "core/ascii_case.h"
#include "core/nearest_word.h"
#include "core/segment_notation.h"
#include "core/value_document.h"
#include "numbering/session.h"

namespace quillet::numbering {
namespace {

// The data source type of a value name: a data source of the line, or a
// value row's own name.
int TypeOfName(const std::string& name) {
  const std::string lower = service::AsciiLowered(name);
  for (const StandardRow& row : StandardRows()) {
    if (service::AsciiLowered(row.name) == lower) return std::stoi(row.itype);
  }
  const std::optional<int> type = notation::SourceType(lower);
  if (type && notation::IsLineValue(*type)) return *type;
  if (type) {
    RaiseBadRequest("value " + name + ": " + notation::SourceName(*type) +
                    " is not a value of the document line (the rule takes it from the item, "
                    "its own text or its running number)");
  }
  std::vector<std::string> names;
  for (const std::string_view source_name : notation::SourceNames()) {
    if (notation::IsLineValue(*notation::SourceType(source_name))) names.emplace_back(source_name);
  }
  RaiseBadRequest("unknown value '" + name + "'" + notation::DidYouMean(lower, names) +
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

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool IsDateText(const std::string& text) {
  static const std::regex kDate(
      R"((\d{4})-(0[1-9]|1[0-2])-(0[1-9]|[12]\d|3[01])([ T]([01]\d|2[0-3]):[0-5]\d(:[0-5]\d)?)?)");
  std::smatch match;
  if (!std::regex_match(text, match, kDate)) return false;
  const int year = std::stoi(match[1]);
  return std::stoi(match[3]) <= DaysInMonth(year, std::stoi(match[2]));
}

std::map<int, std::string> LineValuesByType(const Line& line) {
  std::map<int, std::string> values;
  for (const auto& [name, value] : line.values) {
    const int type = TypeOfName(name);
    if (!values.emplace(type, value).second) {
      RaiseBadRequest("value " + name + ": " + notation::SourceName(type) + " is given twice");
    }
  }
  if (!line.date.empty()) {
    if (values.contains(notation::source::kDate)) {
      RaiseBadRequest("the date is given twice: as the line's date and as a value");
    }
    values[notation::source::kDate] = line.date;
  }
  if (!values.contains(notation::source::kDate)) values[notation::source::kDate] = Today();
  const std::string& date = values[notation::source::kDate];
  if (!IsDateText(date)) {
    RaiseBadRequest("date '" + date +
                    "' is not a calendar date written YYYY-MM-DD (optionally with HH:MM:SS)");
  }
  return values;
}

std::shared_ptr<XmlDocument> ValueDocument(const std::string& item,
                                           const std::map<int, std::string>& values,
                                           std::optional<int32_t> count) {
  auto document = std::make_shared<XmlDocument>();
  document->loadXML(StandardRowSetText());
  for (const auto& [type, value] : values) {
    std::optional<XmlNode> row = RowOfType(*document, type);
    if (row) row->setAttribute("value", value);
  }
  AppendItemCodeRow(*document, item);
  if (count) document->documentElement()->setAttribute("count", std::to_string(*count));
  return document;
}

}  // namespace quillet::numbering

namespace quillet {

std::map<DataSource, std::string> LineValuesOf(const Line& line) {
  try {
    std::map<DataSource, std::string> values;
    for (auto& [type, value] : numbering::LineValuesByType(line)) {
      values.emplace(static_cast<DataSource>(type), std::move(value));
    }
    return values;
  } catch (...) {
    throw numbering::FailureOf(std::current_exception());
  }
}

}  // namespace quillet
