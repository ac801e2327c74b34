// The text functions that fit, measure and format segment values.
#include "core/text_functions.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "quillet/quillet.h"

namespace quillet {
namespace {

// Two Chinese characters: four bytes in the default code page.
const std::string kTwoHan = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文
const std::string kOneHan = "\xE6\x96\x87";              // 文

struct PatchCase {
  std::string value, width, pad, expected;
};

TEST(PatchValueTest, PadsCutsAndDrops) {
  const std::vector<PatchCase> cases = {
      {"7", "3", " ", "007"},
      {"7", "3", "#*", "##7"},
      {"7", "3", " #", "  7"},  // only an all-blank sign becomes "0"
      {"12345", "3", "0", "345"},
      {kTwoHan, "3", "0", kOneHan},     // 4 bytes > 3: one character dropped
      {kOneHan, "1", "0", "A"},         // nothing left: "A" fill
      {kOneHan + "xy", "1", "0", "y"},  // rightmost character fits
      // One drop only: what is still too wide after it stays as it is.
      {kTwoHan + kTwoHan, "3", "0", kTwoHan},
      {"ab" + kTwoHan, "3", "0", kTwoHan},
      {kTwoHan, "6", "*", "**" + kTwoHan},
      {"", "2", "0", "00"},
      {"x", "-1", "0", ""},
      {"x", "abc", "0", ""},
      {"5", " 2.5 ", "0", "05"},  // the width is rounded half to even
      {"5", "3", kOneHan, kOneHan + kOneHan + "5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PatchValue(c.value, c.width, c.pad), c.expected)
        << "value '" << c.value << "' width '" << c.width << "' pad '" << c.pad << "'";
  }
}

TEST(GetByteLenTest, CountsBytesOfTheCodePage) {
  EXPECT_EQ(GetByteLen(kTwoHan), 4);
  EXPECT_EQ(GetByteLen("a" + kOneHan), 3);
  EXPECT_EQ(GetByteLen("\xFF\xFE"), 0);  // not UTF-8: cannot be converted
}

TEST(GetByteLenTest, FollowsTheConfiguredCodePageOnEveryThread) {
  SetAnsiCodePage("UTF-8");
  EXPECT_EQ(GetByteLen(kTwoHan), 6);
  int32_t on_other_thread = 0;
  std::thread([&] { on_other_thread = GetByteLen(kTwoHan); }).join();
  EXPECT_EQ(on_other_thread, 6);
  SetAnsiCodePage("936");
  EXPECT_EQ(GetByteLen(kTwoHan), 4);
  SetAnsiCodePage("no-such-code-page");
  EXPECT_EQ(GetByteLen("abc"), 0);
  SetAnsiCodePage("CP936");
  EXPECT_EQ(GetByteLen(kTwoHan), 4);
}

TEST(GetLongValueTest, ReadsDecimalsRoundingHalfToEven) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {" 12 ", 12},
      {"+7", 7},
      {"2.5", 2},
      {"3.5", 4},
      {"-2.5", -2},
      {"2.51", 3},
      {"1e2", 100},
      {".5", 0},
      {"1.", 1},
      {"", 0},
      {"12a", 0},
      {"0x10", 0},
      {"2147483647", 2147483647},
      {"2147483648", 0},
      {"-2147483648", INT32_MIN},
      {"-2147483649", 0},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(GetLongValue(text), expected) << "'" << text << "'";
  }
}

struct DateCase {
  std::string value, pattern, expected;
};

TEST(FormatDateValueTest, ReplacesTokensInOrder) {
  const std::vector<DateCase> cases = {
      {"2024-05-06", "yyyy-mm-dd", "2024-05-06"},
      {"2024-05-06T08:09:10", "YY-MM-DD HH:MM:SS", "24-05-06 08:09:10"},
      {"2024-05-06 08:09:10", "HHMMSS", "080510"},  // MM without colons is the month
      {"2024-05-06T08:09:10.5", "HH:MM:SS", "08:09:10"},
      {"2024-05-06 08:09", "HH:MM:", "08:09:"},
      {"2024-5-6", "YYYYMMDD", "20240506"},
      {"2024/05/06", "DD.MM.YYYY", "06.05.2024"},
      {"2024-05-06", "YYY", "24Y"},
      {"2024-05-06", "Lot-YYMM", "LOT-2405"},  // the pattern is taken in capitals
      {"2024-05-06", "YY", "2024-05-06"},      // pattern shorter than three characters
      {"abc", "YYYYMMDD", "abc"},
      {"2024-02-30", "YYYYMMDD", "2024-02-30"},
      {"2024-05-06T25:00:00", "YYYYMMDD", "2024-05-06 25:00:00"},  // T became a blank
      {"2024-05-06Tx", "YYYYMMDD", "2024-05-06 x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDateValue(c.value, c.pattern), c.expected)
        << "'" << c.value << "' by '" << c.pattern << "'";
  }
}

}  // namespace
}  // namespace quillet
