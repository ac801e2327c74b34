// ASCII letters folded to lower case: names compared and searched without
// regard to case. Other bytes (UTF-8 included) stay as they are. Pure.
#ifndef QUILLET_CORE_ASCII_CASE_H_
#define QUILLET_CORE_ASCII_CASE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::service {

inline char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLowered(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

// Whether `a` and `b` are equal when ASCII letters are folded to lower case;
// other bytes compare exactly.
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace quillet::service

#endif  // QUILLET_CORE_ASCII_CASE_H_
