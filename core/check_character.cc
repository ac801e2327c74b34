#include "core/check_character.h"

#include <array>
#include <utility>

#include "core/ascii_case.h"

namespace quillet {
namespace {

constexpr std::array<std::pair<CheckMethod, std::string_view>, 3> kMethods = {{
    {CheckMethod::kMod10, "mod10"},
    {CheckMethod::kLuhn, "luhn"},
    {CheckMethod::kMod97, "mod97"},
}};

// The value table of the header: digits, letters of either case, the other
// printable ASCII characters in ASCII order, then every other byte folded
// into what is left below 97.
constexpr std::array<int, 256> MakeValues() {
  std::array<int, 256> values{};
  int next = 36;
  for (int byte = 0; byte < 256; ++byte) {
    if (byte >= '0' && byte <= '9') {
      values[byte] = byte - '0';
    } else if (byte >= 'A' && byte <= 'Z') {
      values[byte] = byte - 'A' + 10;
    } else if (byte >= 'a' && byte <= 'z') {
      values[byte] = byte - 'a' + 10;
    } else if (byte >= ' ' && byte <= '~') {
      values[byte] = next++;
    } else {
      values[byte] = 69 + byte % 28;
    }
  }
  return values;
}
constexpr std::array<int, 256> kValues = MakeValues();
static_assert(kValues['~'] == 68 && kValues[0xFF] < 97);

int ValueOf(char c) { return kValues[static_cast<unsigned char>(c)]; }

// The serial as decimal digits, each character's value written out in one
// digit or two, rightmost first: both one-digit methods weight from the right.
template <typename Visit>
void ForEachDigitFromRight(std::string_view serial, Visit visit) {
  for (auto it = serial.rbegin(); it != serial.rend(); ++it) {
    const int value = ValueOf(*it);
    visit(value % 10);
    if (value >= 10) visit(value / 10);
  }
}

char Mod10(std::string_view serial) {
  int sum = 0;
  bool heavy = true;  // the digit next to the check weighs 3
  ForEachDigitFromRight(serial, [&](int digit) {
    sum += heavy ? 3 * digit : digit;
    heavy = !heavy;
  });
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

char Luhn(std::string_view serial) {
  int sum = 0;
  bool doubled = true;  // the digit next to the check is doubled
  ForEachDigitFromRight(serial, [&](int digit) {
    const int product = doubled ? 2 * digit : digit;
    sum += product > 9 ? product - 9 : product;
    doubled = !doubled;
  });
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string Mod97(std::string_view serial) {
  int sum = 0;
  for (const char c : serial) sum = (sum * 10 + ValueOf(c)) % 97;
  const int check = 98 - sum * 100 % 97;
  return {static_cast<char>('0' + check / 10), static_cast<char>('0' + check % 10)};
}

}  // namespace

std::string_view CheckMethodWord(CheckMethod method) {
  for (const auto& [value, word] : kMethods) {
    if (value == method) return word;
  }
  return "mod10";
}

std::optional<CheckMethod> CheckMethodOf(std::string_view word) {
  for (const auto& [value, name] : kMethods) {
    if (service::EqualsIgnoringAsciiCase(word, name)) return value;
  }
  return std::nullopt;
}

std::string_view CheckMethodWords() { return "mod10, luhn, mod97"; }

std::size_t CheckLength(CheckMethod method) { return method == CheckMethod::kMod97 ? 2 : 1; }

std::string CheckCharacters(CheckMethod method, std::string_view serial) {
  switch (method) {
    case CheckMethod::kMod10:
      return std::string(1, Mod10(serial));
    case CheckMethod::kLuhn:
      return std::string(1, Luhn(serial));
    case CheckMethod::kMod97:
      return Mod97(serial);
  }
  return {};
}

bool HasValidCheckCharacters(CheckMethod method, std::string_view serial_with_check) {
  const std::size_t length = CheckLength(method);
  if (serial_with_check.size() <= length) return false;
  const std::size_t split = serial_with_check.size() - length;
  return CheckCharacters(method, serial_with_check.substr(0, split)) ==
         serial_with_check.substr(split);
}

}  // namespace quillet
