#include "apps/tool/shell_words.h"

#include <algorithm>
#include <cctype>

namespace quillet::tool {
namespace {

bool IsPlain(unsigned char c) {
  if (c >= 0x80 || std::isalnum(c) != 0) return true;
  return std::string_view("-_.,=:/+@%").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string ShellQuoted(std::string_view word) {
  if (!word.empty() && std::all_of(word.begin(), word.end(),
                                   [](char c) { return IsPlain(static_cast<unsigned char>(c)); })) {
    return std::string(word);
  }
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ShellLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    line += ShellQuoted(word);
  }
  return line;
}

}  // namespace quillet::tool
