// Numbers written as plain decimal text.
#ifndef QUILLET_CORE_NUMBER_TEXT_H_
#define QUILLET_CORE_NUMBER_TEXT_H_

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace quillet::service {

// The number `text` spells in full: an optional '-' and decimal digits (for a
// floating `Number` also a fraction and exponent), nothing around them, within
// the range of `Number`; otherwise nullopt. Pure.
template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, problem] = std::from_chars(text.data(), end, value);
  if (text.empty() || problem != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace quillet::service

#endif  // QUILLET_CORE_NUMBER_TEXT_H_
