// The texts the component accepts from its callers and stores: UTF-8, with
// no NUL character. A NUL would cut a value short where it passes as a C
// string, and bytes that are not UTF-8 would be stored by one database and
// refused by another.
#ifndef QUILLET_CORE_TEXT_CHECK_H_
#define QUILLET_CORE_TEXT_CHECK_H_

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// What is wrong with `text`, e.g. "holds a NUL character at byte 4" or "is not
// UTF-8 (byte 0xFF at 7)", or nullopt for a well-formed text. Overlong forms,
// surrogates and code points above U+10FFFF are not UTF-8. Pure; thread-safe.
std::optional<std::string> TextProblem(std::string_view text);

// Raises Error(errc::kInvalidText, "<what> <problem>") for a text that
// TextProblem faults. Thread-safe.
void RequireValidText(std::string_view text, std::string_view what);

}  // namespace quillet

#endif  // QUILLET_CORE_TEXT_CHECK_H_
