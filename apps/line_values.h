// The values of one document line, given on the command line with --date and
// --set NAME=VALUE, and the value document the issuing methods read.
#ifndef QUILLET_APPS_LINE_VALUES_H_
#define QUILLET_APPS_LINE_VALUES_H_

#include <CLI/CLI.hpp>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quillet/xml_document.h"

namespace quillet::apps {

struct ValueOptions {
  std::optional<std::string> date;
  std::vector<std::string> sets;  // NAME=VALUE
};

// Adds --date and the repeatable --set to `command`.
void AddValueOptions(CLI::App& command, ValueOptions& options);

// One document line: the item and the values by data source type (0 to 6,
// 20, 21, 28 to 35); a type without a value is absent.
struct LineValues {
  std::string item;
  std::map<int, std::string> values;
};

// The line of the options. The date is --date, else a `--set date=`, else
// today; it must read YYYY-MM-DD, optionally followed by a blank or T and
// HH:MM[:SS]. NAME is a data source name with a row (date, lot, department,
// workcenter, warehouse, clerk, supplier, free1 ... free10) or the row's own
// name (vchdate, whname, cfree1, ...), in any case. Raises ToolUsage for an
// unknown name, a name given twice, a missing '=' or a malformed date.
LineValues ReadLineValues(const std::string& item, const ValueOptions& options);

// The value document: the standard row set with the line's values, every
// row available (bHave 'true'), the item-code row, and `count` on the root
// when given.
std::shared_ptr<XmlDocument> ValueDocument(const LineValues& line, std::optional<int> count);

// The --set name of a data source type with a row ("department", "free1").
std::string ValueName(int type);

// The line's values as NAME=VALUE words, in data source order, the date
// first. Pure.
std::vector<std::string> ValueWords(const LineValues& line);

}  // namespace quillet::apps

#endif  // QUILLET_APPS_LINE_VALUES_H_
