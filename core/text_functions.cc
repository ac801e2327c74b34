// PatchValue and GetLongValue: fitting a value to a segment's width.
#include "core/text_functions.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/utf8.h"

namespace quillet {
namespace {

std::string_view TrimBlanks(std::string_view text, std::string_view blanks = " ") {
  const std::size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string_view::npos) return {};
  const std::size_t end = text.find_last_not_of(blanks);
  return text.substr(begin, end - begin + 1);
}

// Whether `text` is a plain decimal number: digits with at most one point, at
// least one digit, and an optional exponent. No sign, no hex, no inf or nan.
bool IsPlainDecimal(std::string_view text) {
  std::size_t i = 0;
  std::size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t exponent_start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == exponent_start) return false;
  }
  return i == text.size();
}

}  // namespace

int32_t GetLongValue(const std::string& text) {
  std::string_view number = TrimBlanks(text, " \t");
  bool negative = false;
  if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
    negative = number.front() == '-';
    number.remove_prefix(1);
  }
  if (!IsPlainDecimal(number)) return 0;
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return 0;
  // nearbyint under the default rounding mode rounds halves to even.
  const double rounded = std::nearbyint(negative ? -value : value);
  if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) return 0;
  return static_cast<int32_t>(rounded);
}

std::string PatchValue(const std::string& value, const std::string& width,
                       const std::string& pad_sign) {
  const int32_t bytes = GetByteLen(value);
  const int32_t wanted = GetLongValue(width);
  const std::string_view pad =
      TrimBlanks(pad_sign).empty() ? std::string_view("0") : std::string_view(pad_sign);

  if (bytes <= wanted) {
    return utf8::Repeat(utf8::First(pad), static_cast<std::size_t>(wanted - bytes)) + value;
  }
  if (wanted < 0) return "";
  std::string result(utf8::Right(value, static_cast<std::size_t>(wanted)));
  if (GetByteLen(result) > wanted) {
    // One drop only: a text that is still too wide stays as it is.
    result = std::string(utf8::DropFirst(result));
    if (result.empty()) result = std::string(static_cast<std::size_t>(wanted), 'A');
  }
  return result;
}

}  // namespace quillet
