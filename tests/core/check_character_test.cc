// Check characters: published vectors, and the typos each method catches.
#include "core/check_character.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace quillet {
namespace {

struct Vector {
  CheckMethod method;
  std::string_view serial;
  std::string_view check;
};

TEST(CheckCharacterTest, PublishedVectors) {
  const Vector vectors[] = {
      // GS1: EAN-13, ISBN-13, EAN-8, UPC-A, SSCC.
      {CheckMethod::kMod10, "400638133393", "1"},
      {CheckMethod::kMod10, "978030640615", "7"},
      {CheckMethod::kMod10, "9638507", "4"},
      {CheckMethod::kMod10, "03600029145", "2"},
      {CheckMethod::kMod10, "37610425002123456", "9"},
      // Payment card test numbers; ISINs, whose letters count as two digits.
      {CheckMethod::kLuhn, "7992739871", "3"},
      {CheckMethod::kLuhn, "411111111111111", "1"},
      {CheckMethod::kLuhn, "555555555555444", "4"},
      {CheckMethod::kLuhn, "37828224631000", "5"},
      {CheckMethod::kLuhn, "601111111111111", "7"},
      {CheckMethod::kLuhn, "US037833100", "5"},
      {CheckMethod::kLuhn, "AU0000XVGZA", "3"},
      {CheckMethod::kLuhn, "GB000263494", "6"},
      // ISO 7064 MOD 97-10: IBANs GB82 WEST..., DE89 3704... as the digits
      // they are checked as (account first, letters as two digits).
      {CheckMethod::kMod97, "32142829123456987654321611", "82"},
      {CheckMethod::kMod97, "3704004405320130001314", "89"},
      {CheckMethod::kMod97, "794", "44"},
  };
  for (const auto& [method, serial, check] : vectors) {
    SCOPED_TRACE(std::string(CheckMethodWord(method)) + " " + std::string(serial));
    EXPECT_EQ(CheckCharacters(method, serial), check);
    const std::string whole = std::string(serial) + std::string(check);
    EXPECT_TRUE(HasValidCheckCharacters(method, whole));
  }
}

TEST(CheckCharacterTest, WordsCaseAndShortTexts) {
  for (const CheckMethod method : {CheckMethod::kMod10, CheckMethod::kLuhn, CheckMethod::kMod97}) {
    EXPECT_EQ(CheckMethodOf(CheckMethodWord(method)), method);
    EXPECT_EQ(CheckCharacters(method, "lw01-2405-0001"), CheckCharacters(method, "LW01-2405-0001"));
    EXPECT_EQ(CheckCharacters(method, "X").size(), CheckLength(method));
    EXPECT_FALSE(HasValidCheckCharacters(method, CheckCharacters(method, "")));
  }
  EXPECT_EQ(CheckMethodOf("MOD97"), CheckMethod::kMod97);
  EXPECT_EQ(CheckMethodOf("mod11"), std::nullopt);
  // Bytes outside ASCII count too.
  EXPECT_NE(CheckCharacters(CheckMethod::kMod97, "\xE5\x8C\x97-1"),
            CheckCharacters(CheckMethod::kMod97, "\xE4\xB8\x8A-1"));
}

// The share of typos a method catches on `serial` with its check: every
// substitution of one character by another printable ASCII character (upper
// case: lower case is the same character) and every swap of two different
// neighbours, the check characters included.
struct Caught {
  int caught = 0;
  int typos = 0;
  double Share() const { return static_cast<double>(caught) / typos; }
};

Caught Typos(CheckMethod method, const std::string& serial) {
  const std::string whole = serial + CheckCharacters(method, serial);
  Caught result;
  auto count = [&](const std::string& typo) {
    ++result.typos;
    if (!HasValidCheckCharacters(method, typo)) ++result.caught;
  };
  for (std::size_t i = 0; i < whole.size(); ++i) {
    for (char c = ' '; c <= '~'; ++c) {
      if (c == whole[i] || (c >= 'a' && c <= 'z')) continue;
      std::string typo = whole;
      typo[i] = c;
      count(typo);
    }
    if (i + 1 < whole.size() && whole[i] != whole[i + 1]) {
      std::string typo = whole;
      std::swap(typo[i], typo[i + 1]);
      count(typo);
    }
  }
  return result;
}

TEST(CheckCharacterTest, Mod97CatchesEverySubstitutionAndSwap) {
  for (const char* serial :
       {"LW01-2405-0001", "AST-240506-0001", "SN-20240506-00001", "P/N 7.5 {A~Z}", "0909090909"}) {
    const Caught caught = Typos(CheckMethod::kMod97, serial);
    EXPECT_EQ(caught.caught, caught.typos) << serial;
  }
}

// The shares the header states for the one-digit methods.
TEST(CheckCharacterTest, OneDigitMethodsCatchTheStatedShare) {
  for (const auto& [method, digit_swaps, mixed_share] :
       {std::tuple{CheckMethod::kMod10, 80, 0.912}, std::tuple{CheckMethod::kLuhn, 88, 0.917}}) {
    SCOPED_TRACE(CheckMethodWord(method));
    // On digits: every substitution by another digit, and the stated swaps of 90.
    const std::string serial = "2405060001";
    for (std::size_t i = 0; i < serial.size(); ++i) {
      for (char digit = '0'; digit <= '9'; ++digit) {
        std::string typo = serial + CheckCharacters(method, serial);
        if (typo[i] == digit) continue;
        typo[i] = digit;
        EXPECT_FALSE(HasValidCheckCharacters(method, typo)) << typo;
      }
    }
    int swaps = 0;
    for (char a = '0'; a <= '9'; ++a) {
      for (char b = '0'; b <= '9'; ++b) {
        const std::string right = std::string("24") + a + b + "01";
        const std::string swapped =
            std::string("24") + b + a + "01" + CheckCharacters(method, right);
        if (a != b && !HasValidCheckCharacters(method, swapped)) ++swaps;
      }
    }
    EXPECT_EQ(swaps, digit_swaps);
    // On the generated serials: about nine typos in ten.
    Caught mixed;
    for (const char* generated : {"LW01-2405-0001", "AST-240506-0001", "SN-20240506-00001"}) {
      const Caught one = Typos(method, generated);
      mixed.caught += one.caught;
      mixed.typos += one.typos;
    }
    EXPECT_NEAR(mixed.Share(), mixed_share, 0.001) << mixed.caught << " of " << mixed.typos;
  }
}

}  // namespace
}  // namespace quillet
