#include "core/text_check.h"

#include "quillet/error.h"

namespace quillet {
namespace {

// The length of the well-formed UTF-8 character at text[at], or 0.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;   // bounds of the second byte, narrowed where
  unsigned char high = 0xBF;  // overlong forms, surrogates or too large values begin
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::string Hex(unsigned char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {'0', 'x', kDigits[byte >> 4], kDigits[byte & 0xF]};
}

}  // namespace

std::optional<std::string> TextProblem(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    if (text[at] == '\0') return "holds a NUL character at byte " + std::to_string(at + 1);
    const std::size_t length = CharacterLength(text, at);
    if (length == 0) {
      return "is not UTF-8 (byte " + Hex(static_cast<unsigned char>(text[at])) + " at " +
             std::to_string(at + 1) + ")";
    }
    at += length;
  }
  return std::nullopt;
}

void RequireValidText(std::string_view text, std::string_view what) {
  if (std::optional<std::string> problem = TextProblem(text)) {
    throw Error(errc::kInvalidText, std::string(what) + " " + *problem);
  }
}

}  // namespace quillet
