// The known word a mistyped one most likely meant, for messages that answer an
// unknown command, option or name with a suggestion.
#ifndef QUILLET_CORE_NEAREST_WORD_H_
#define QUILLET_CORE_NEAREST_WORD_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::notation {

// The word of `known` closest to `word`, compared without regard to ASCII
// case: one that `word` begins (at least two characters, and only one such
// word), else the one fewest edits away (insert, delete, replace, swap two
// neighbours) when that is at most a third of its length (at least one edit).
// nullopt when nothing is that close; ties go to the earlier word. Pure.
std::optional<std::string> NearestWord(std::string_view word,
                                       const std::vector<std::string>& known);

// "; did you mean 'X'?" for the nearest word, else "". Pure.
std::string DidYouMean(std::string_view word, const std::vector<std::string>& known);

}  // namespace quillet::notation

#endif  // QUILLET_CORE_NEAREST_WORD_H_
