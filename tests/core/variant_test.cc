// Variant conversions: rounding, ranges, texts, null and objects.
#include "quillet/variant.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "quillet/error.h"
#include "quillet/recordset.h"
#include "quillet/xml_document.h"
#include "tests/support/raised.h"

namespace quillet {
namespace {

using testing::Raised;

constexpr int kNoError = 0;

struct WholeCase {
  Variant input;
  int32_t expected;  // when error == kNoError
  int error;
};

TEST(VariantTest, ToInt16RoundsHalfToEvenAndChecksRange) {
  const WholeCase cases[] = {
      {2.5, 2, kNoError},
      {3.5, 4, kNoError},
      {-2.5, -2, kNoError},
      {2.5000001, 3, kNoError},
      {" \t7 ", 7, kNoError},
      {"-1.5e1", -15, kNoError},
      {".5", 0, kNoError},
      {32767.4, 32767, kNoError},
      {32767.5, 0, errc::kOverflow},
      {-32768.5, -32768, kNoError},
      {-32768.6, 0, errc::kOverflow},
      {"32768", 0, errc::kOverflow},
      {"1e400", 0, errc::kOverflow},
      {"1e-400", 0, kNoError},
      {true, -1, kNoError},
      {Variant(), 0, kNoError},
      {Variant::Null(), 0, errc::kInvalidUseOfNull},
      {"", 0, errc::kTypeMismatch},
      {"1,5", 0, errc::kTypeMismatch},
      {"- 4", 0, errc::kTypeMismatch},
      {"0x10", 0, errc::kTypeMismatch},
      {"nan", 0, errc::kTypeMismatch},
      {std::numeric_limits<double>::quiet_NaN(), 0, errc::kOverflow},
  };
  for (const WholeCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "input type " << static_cast<int>(c.input.type()));
    int16_t result = 0;
    EXPECT_EQ(Raised([&] { result = c.input.ToInt16(); }).number(), c.error);
    if (c.error == kNoError) {
      EXPECT_EQ(result, c.expected);
    }
  }
}

TEST(VariantTest, ToInt32ChecksItsEdges) {
  const WholeCase cases[] = {
      {2147483647.4, 2147483647, kNoError},
      {2147483647.5, 0, errc::kOverflow},
      {-2147483648.5, std::numeric_limits<int32_t>::min(), kNoError},
      {-2147483649.0, 0, errc::kOverflow},
      {"2147483648", 0, errc::kOverflow},
      {int16_t{-7}, -7, kNoError},
      {"12abc", 0, errc::kTypeMismatch},
  };
  for (const WholeCase& c : cases) {
    int32_t result = 0;
    EXPECT_EQ(Raised([&] { result = c.input.ToInt32(); }).number(), c.error);
    if (c.error == kNoError) {
      EXPECT_EQ(result, c.expected);
    }
  }
}

TEST(VariantTest, ToTextGivesShortestNumbersAndRefusesNonDocuments) {
  auto doc = std::make_shared<XmlDocument>();
  ASSERT_TRUE(doc->loadXML("<a b='1'/>"));
  const struct {
    Variant input;
    std::string expected;
    int error;
  } cases[] = {
      {5.0, "5", kNoError},
      {0.1, "0.1", kNoError},
      {-0.000125, "-0.000125", kNoError},
      {1e20, "1E+20", kNoError},
      {int16_t{-3}, "-3", kNoError},
      {false, "False", kNoError},
      {Variant(), "", kNoError},
      {doc, "<a b=\"1\"/>", kNoError},
      {std::make_shared<XmlDocument>(), "", kNoError},
      {Variant::Null(), "", errc::kInvalidUseOfNull},
      {std::shared_ptr<XmlDocument>(), "", errc::kObjectNotSet},
      {std::make_shared<RecordSet>(), "", errc::kTypeMismatch},
  };
  for (const auto& c : cases) {
    std::string result;
    EXPECT_EQ(Raised([&] { result = c.input.ToText(); }).number(), c.error) << c.expected;
    EXPECT_EQ(result, c.expected);
  }
}

TEST(VariantTest, ToBoolReadsWordsAndNumbers) {
  const struct {
    Variant input;
    bool expected;
    int error;
  } cases[] = {
      {"TRUE", true, kNoError},         {" false ", false, kNoError},
      {"0", false, kNoError},           {"0.4", true, kNoError},
      {int16_t{-1}, true, kNoError},    {0.0, false, kNoError},
      {Variant(), false, kNoError},     {"yes", false, errc::kTypeMismatch},
      {"", false, errc::kTypeMismatch}, {Variant::Null(), false, errc::kInvalidUseOfNull},
  };
  for (const auto& c : cases) {
    bool result = false;
    EXPECT_EQ(Raised([&] { result = c.input.ToBool(); }).number(), c.error);
    EXPECT_EQ(result, c.expected);
  }
}

TEST(VariantTest, RoundHalfEvenKeepsLargeWholeNumbers) {
  EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0);
  EXPECT_EQ(RoundHalfEven(-0.5), 0.0);
  EXPECT_EQ(RoundHalfEven(0.49999999999999994), 0.0);
  EXPECT_EQ(RoundHalfEven(1e300), 1e300);
}

}  // namespace
}  // namespace quillet
