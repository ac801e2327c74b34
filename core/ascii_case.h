// Comparison of ASCII names without regard to case.
#ifndef QUILLET_CORE_ASCII_CASE_H_
#define QUILLET_CORE_ASCII_CASE_H_

#include <cstddef>
#include <string_view>

namespace quillet::service {

// Whether `a` and `b` are equal when ASCII letters are folded to lower case;
// other bytes compare exactly.
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace quillet::service

#endif  // QUILLET_CORE_ASCII_CASE_H_
