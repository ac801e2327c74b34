// Character-wise views of UTF-8 text, for the text functions that count and
// cut by characters rather than bytes.
#ifndef QUILLET_CORE_UTF8_H_
#define QUILLET_CORE_UTF8_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::utf8 {

// Whether `byte` starts a character. A continuation byte belongs to the
// character before it; one at the very start of a text is a character of its
// own, so every byte belongs to exactly one character.
inline bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// Number of characters of `text`.
inline std::size_t Length(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == 0 || StartsCharacter(text[i])) ++count;
  }
  return count;
}

// Byte offset of the character at `index` (0-based); text.size() past the end.
inline std::size_t OffsetOf(std::string_view text, std::size_t index) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == 0 || StartsCharacter(text[i])) {
      if (seen == index) return i;
      ++seen;
    }
  }
  return text.size();
}

// The first character of `text`; empty for an empty text.
inline std::string_view First(std::string_view text) {
  return text.substr(0, text.empty() ? 0 : OffsetOf(text, 1));
}

// The last `count` characters of `text` (all of it when shorter).
inline std::string_view Right(std::string_view text, std::size_t count) {
  const std::size_t length = Length(text);
  if (count >= length) return text;
  return text.substr(OffsetOf(text, length - count));
}

// `text` without its first character.
inline std::string_view DropFirst(std::string_view text) { return text.substr(First(text).size()); }

// `text` repeated `times` times.
inline std::string Repeat(std::string_view text, std::size_t times) {
  std::string out;
  out.reserve(text.size() * times);
  for (std::size_t i = 0; i < times; ++i) out.append(text);
  return out;
}

}  // namespace quillet::utf8

#endif  // QUILLET_CORE_UTF8_H_
