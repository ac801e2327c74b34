// Reading serial numbers back by a rule's segments: which texts each kind of
// segment could have written, and the parts of one that fits.
#include "numbering/serial_pattern.h"

#include <gtest/gtest.h>

namespace quillet::numbering {
namespace {

Segment Word(const char* word) { return ParseSegment(word); }

Rule RuleOf(std::vector<Segment> segments) {
  return {RuleOwner::Class("01"), "Lighting", "", "1", std::move(segments)};
}

TEST(SerialPattern, FitsWhatTheSegmentsCouldWrite) {
  const Rule lighting = RuleOf({Word("text=LW"), Word("department=1,width=2,fill=X"),
                                Word("date=-YYMM-"), Word("number,width=4")});
  const Rule dotted = RuleOf({Word("text=P.N(1)"), Word("lot,width=3"), Word("date=YYYY"),
                              Word("number,width=2"), Word("text=/Z")});
  const Rule checked = RuleOf({Word("text=SN-"), Word("number,width=3,check=luhn")});
  const struct {
    const Rule& rule;
    const char* serial;
    bool fits;
  } kCases[] = {
      {lighting, "LW01-2405-0001", true},
      {lighting, "LWXX-2405-0001", true},    // the fill sign
      {lighting, "LWS-2405-0001", true},     // a mapped code, narrower than the width
      {lighting, "lw01-2405-0001", true},    // either case
      {lighting, "LW001-2405-0001", false},  // wider than the width
      {lighting, "LW01-24A5-0001", false},   // a date field of letters
      {lighting, "LW01-2405-001", false},    // a digit short
      {lighting, "LW01-2405-00001", false},
      {dotted, "P.N(1)A-72024XY/Z", false},  // the running number is digits
      {dotted, "P.N(1)A-7202499/Z", true},   // the fixed text's own signs
      {dotted, "PxN(1)A-7202499/Z", false},  // '.' is no wildcard
      {dotted, "P.N(1)AB20249/Z", false},
      {checked, "SN-0012", true},
      {checked, "SN-0015", true},  // fits, with a wrong check
      {checked, "SN-001", false},
  };
  for (const auto& [rule, serial, fits] : kCases) {
    EXPECT_EQ(FitSerial(rule, serial).has_value(), fits) << serial;
  }
}

TEST(SerialPattern, SplitsAroundTheRunningNumberAndChecks) {
  const Rule rule = RuleOf(
      {Word("text=FL-"), Word("date=YYMM-"), Word("number,width=4,check=mod97"), Word("text=-B")});
  const std::optional<SerialFit> right = FitSerial(rule, "FL-2405-0001-B49");
  ASSERT_TRUE(right);
  EXPECT_EQ(right->prefix, "FL-2405-");
  EXPECT_EQ(right->date_part, "2405-");
  EXPECT_EQ(right->date_pattern, "YYMM-");
  EXPECT_EQ(right->running_number, "0001");
  EXPECT_EQ(right->digits, 4);
  EXPECT_EQ(right->suffix, "-B");
  EXPECT_EQ(right->check, CheckMethod::kMod97);
  const std::optional<SerialFit> wrong = FitSerial(rule, "FL-2405-0001-B94");
  ASSERT_TRUE(wrong);
  EXPECT_FALSE(wrong->check_right);
}

}  // namespace
}  // namespace quillet::numbering
