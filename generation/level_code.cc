#include "generation/level_code.h"

#include "core/runtime_errors.h"
#include "core/utf8.h"

namespace quillet::generation {

int32_t LevelWidth(const std::string& coding_rule, int32_t level) {
  if (level < 1) throw Error::TypeMismatch();
  const std::size_t at = utf8::OffsetOf(coding_rule, static_cast<std::size_t>(level) - 1);
  if (at >= coding_rule.size()) throw Error::TypeMismatch();
  const char digit = coding_rule[at];
  if (digit < '0' || digit > '9') throw Error::TypeMismatch();
  return digit - '0';
}

int32_t LevelCodeLength(const std::string& coding_rule, int32_t level) {
  int32_t length = 0;
  for (int32_t i = 1; i <= level; ++i) length += LevelWidth(coding_rule, i);
  return length;
}

std::string DropLastCharacters(const std::string& code, int32_t count) {
  const auto length = static_cast<int64_t>(utf8::Length(code));
  if (count < 0 || count > length) throw Error::InvalidArgument();
  return FirstCharacters(code, static_cast<int32_t>(length - count));
}

std::string FirstCharacters(const std::string& code, int32_t count) {
  if (count < 0) throw Error::InvalidArgument();
  return code.substr(0, utf8::OffsetOf(code, static_cast<std::size_t>(count)));
}

}  // namespace quillet::generation
