// Text functions used by the segment rules and the mapping fill. None of
// them fails: each answers as documented for any input. Thread-safe.
#ifndef QUILLET_CORE_TEXT_FUNCTIONS_H_
#define QUILLET_CORE_TEXT_FUNCTIONS_H_

#include <cstdint>
#include <optional>
#include <string>

namespace quillet {

// Fits `value` to `width` bytes: pads on the left with the first character of
// `pad_sign` ("0" when it is blank), or keeps the rightmost characters when it
// is too long (dropping one more leading character if the bytes still exceed
// the width; "A" repeated `width` times if nothing is left).
std::string PatchValue(const std::string& value, const std::string& width,
                       const std::string& pad_sign);

// Bytes of `text` (UTF-8) in the configured ANSI code page (SetAnsiCodePage;
// CP936 by default); 0 when it cannot be converted.
int32_t GetByteLen(const std::string& text);

// `text` read as a decimal number, rounded half to even to a 32-bit whole
// number; 0 when empty, not a number, or out of range.
int32_t GetLongValue(const std::string& text);

// Formats a date value by a pattern of the tokens :MM: MM DD YYYY YY HH SS;
// answers `value` unchanged when the pattern is shorter than three characters
// or the value does not parse as a date.
std::string FormatDateValue(const std::string& value, const std::string& pattern,
                            bool unused = false);

// The day of a date value as FormatDateValue reads dates, written
// "YYYY-MM-DD"; nullopt when the value is not a date.
std::optional<std::string> DayOfDateValue(const std::string& value);

}  // namespace quillet

#endif  // QUILLET_CORE_TEXT_FUNCTIONS_H_
