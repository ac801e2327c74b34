// Level codes: codes of level-coded archives, cut by a coding rule whose
// i-th digit is the number of characters that level i adds.
#ifndef QUILLET_GENERATION_LEVEL_CODE_H_
#define QUILLET_GENERATION_LEVEL_CODE_H_

#include <cstdint>
#include <string>

namespace quillet::generation {

// The digit of `level` (counted from 1) in `coding_rule`. Raises
// errc::kTypeMismatch when that character is not a digit or the rule is
// shorter than `level`.
int32_t LevelWidth(const std::string& coding_rule, int32_t level);

// The number of characters of a level-`level` code: the sum of the first
// `level` digits (0 for a level below 1). Raises as LevelWidth does.
int32_t LevelCodeLength(const std::string& coding_rule, int32_t level);

// `code` less its last `count` characters. Raises errc::kInvalidArgument when
// the code is shorter than `count`.
std::string DropLastCharacters(const std::string& code, int32_t count);

// The first `count` characters of `code` (all of it when shorter). Raises
// errc::kInvalidArgument for a negative count.
std::string FirstCharacters(const std::string& code, int32_t count);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_LEVEL_CODE_H_
