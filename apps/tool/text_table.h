// Plain-text tables for people: columns aligned by the width the text takes
// on a terminal (two columns for a Chinese character).
#ifndef QUILLET_APPS_TOOL_TEXT_TABLE_H_
#define QUILLET_APPS_TOOL_TEXT_TABLE_H_

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet::tool {

// The number of terminal columns a UTF-8 text takes: two for wide (East
// Asian) characters, one for the others. Bytes that are not UTF-8 count one
// each. Pure.
std::size_t DisplayWidth(std::string_view text);

// `text` followed by blanks up to `width` display columns. Pure.
std::string PadToWidth(std::string_view text, std::size_t width);

// Rows of cells under a heading, printed with two blanks between columns and
// no trailing blanks. A table without rows prints nothing.
class TextTable {
 public:
  explicit TextTable(std::vector<std::string> heading, std::string indent = "");

  // A row; cells beyond the heading's count are dropped, missing ones empty.
  void AddRow(std::vector<std::string> cells);
  bool empty() const { return rows_.size() == 1; }

  void Print(std::ostream& out) const;

 private:
  std::string indent_;
  std::vector<std::vector<std::string>> rows_;  // the heading first
};

// Prints "label  value" lines, the values aligned after the longest label.
void PrintFields(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& fields);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_TEXT_TABLE_H_
