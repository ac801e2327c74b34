// Rules as typed values: the data sources a segment takes its text from, a
// segment with its settings, and a rule (an owner's named list of segments).
// A segment also has a word of its own, the segment notation, which the tool,
// the service and rule files write (docs/segment-notation.md).
#ifndef QUILLET_RULE_H_
#define QUILLET_RULE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/export.h"
#include "quillet/numbering_policy.h"
#include "quillet/owner.h"

namespace quillet {

// Where a segment's text comes from, numbered as rules store it
// (SNrule.cdatasrctype). Another stored number is kept as it stands.
enum class DataSource : int {
  kDate = 0,        // the document date, written in the segment's pattern
  kLot = 1,         // the line's production lot
  kDepartment = 2,  // the department, cut to a level of its coding
  kWorkCenter = 3,
  kWarehouse = 4,
  kClerk = 5,
  kSupplier = 6,
  kItemClass = 7,  // the item's inventory class, cut to a level
  kItem = 8,       // the item code
  kText = 9,       // fixed text
  kRunningNumber = 10,
  kFree1 = 20,
  kFree2 = 21,
  kFree3 = 28,
  kFree4 = 29,
  kFree5 = 30,
  kFree6 = 31,
  kFree7 = 32,
  kFree8 = 33,
  kFree9 = 34,
  kFree10 = 35,
};

// The name of a data source as the notation and the document line write it:
// "date", "lot", "department", "workcenter", "warehouse", "clerk",
// "supplier", "class", "item", "text", "number", "free1" ... "free10"; an
// unnamed number N is "typeN". Pure.
QUILLET_EXPORT std::string DataSourceName(DataSource source);

// The data source of a name (any case, "typeN" included); nullopt for
// another word. Pure.
QUILLET_EXPORT std::optional<DataSource> DataSourceOf(std::string_view name);

// One segment of a rule.
struct Segment {
  DataSource source = DataSource::kText;
  // The pattern of a date ("YYYYMMDD"), the level of a department or class
  // ("1"), the fixed text, or the running number's start ("1").
  std::string format{};
  // The bytes (code page 936) the text is fitted to: padded on the left with
  // `pad`, or cut to its last `width`; the digits of the running number.
  int32_t width = 0;
  std::string pad{};   // the pad sign; empty means "0"
  std::string fill{};  // written `width` times for an empty value; empty: the value is required
  int32_t step = 0;    // how far the running number goes per serial number
  // The rule's numbering policies, set on its running number only.
  NumberingPolicy policy{};

  friend bool operator==(const Segment&, const Segment&) = default;
};

// The segment a notation word writes ("text=SN-", "department=1,width=2",
// "number,width=4,step=1,start=1,restart=month"). Throws Failure
// (FailureKind::kInvalidRequest) naming the bad part: errc::kBadRequest,
// errc::kWidthOutOfRange for a width outside quillet/limits.h,
// errc::kInvalidText for an escape that stands for NUL. Pure; thread-safe.
QUILLET_EXPORT Segment ParseSegment(std::string_view word);

// The canonical word of a segment; ParseSegment reads it back unchanged.
// Pure; thread-safe.
QUILLET_EXPORT std::string FormatSegment(const Segment& segment);

// An owner's rule.
struct Rule {
  RuleOwner owner{};
  std::string name{};
  std::string owner_name{};   // the item's or class's name as the rule stores it
  std::string next_number{};  // the stored running number as text; "" when none
  std::vector<Segment> segments{};

  // The numbering policy of the rule's running number; every policy off
  // when it has none.
  NumberingPolicy policy() const {
    for (const Segment& segment : segments) {
      if (segment.source == DataSource::kRunningNumber) return segment.policy;
    }
    return {};
  }

  friend bool operator==(const Rule&, const Rule&) = default;
};

}  // namespace quillet

#endif  // QUILLET_RULE_H_
