// Words written so that a POSIX shell reads them back unchanged, for the
// command lines the tool prints.
#ifndef QUILLET_APPS_TOOL_SHELL_WORDS_H_
#define QUILLET_APPS_TOOL_SHELL_WORDS_H_

#include <string>
#include <string_view>
#include <vector>

namespace quillet::tool {

// `word` as it stands when the shell leaves it alone (letters, digits,
// non-ASCII text and - _ . , = : / + @ %), else between single quotes with
// each ' written '\''. The empty word gives ''. Pure.
std::string ShellQuoted(std::string_view word);

// The words, each quoted as needed, joined by one blank. Pure.
std::string ShellLine(const std::vector<std::string>& words);

}  // namespace quillet::tool

#endif  // QUILLET_APPS_TOOL_SHELL_WORDS_H_
