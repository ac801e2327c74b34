#include "quillet/numbering_policy.h"

#include <array>
#include <utility>

#include "core/ascii_case.h"

namespace quillet {
namespace {

constexpr std::array<std::pair<Restart, std::string_view>, 5> kRestarts = {{
    {Restart::kNever, "never"},
    {Restart::kYear, "year"},
    {Restart::kMonth, "month"},
    {Restart::kDay, "day"},
    {Restart::kPrefix, "prefix"},
}};

}  // namespace

std::string_view RestartWord(Restart restart) {
  for (const auto& [value, word] : kRestarts) {
    if (value == restart) return word;
  }
  return "never";
}

std::optional<Restart> RestartOf(std::string_view word) {
  for (const auto& [value, name] : kRestarts) {
    if (service::EqualsIgnoringAsciiCase(word, name)) return value;
  }
  return std::nullopt;
}

std::string_view RestartWords() { return "never, year, month, day, prefix"; }

std::optional<bool> YesNoOf(std::string_view word) {
  if (service::EqualsIgnoringAsciiCase(word, "yes")) return true;
  if (service::EqualsIgnoringAsciiCase(word, "no")) return false;
  return std::nullopt;
}

}  // namespace quillet
