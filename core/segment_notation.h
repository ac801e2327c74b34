// The segment notation: one rule segment written as one word, such as
// `text=SN-`, `date=YYYYMMDD`, `department=1,width=2,fill=X` or
// `number,width=4,step=1,start=1`.
//
//   word     := source [ "=" value ] { "," key "=" value }
//   source   := date | lot | department | workcenter | warehouse | clerk |
//               supplier | class | item | text | number | free1 ... free10 |
//               "type" N (a data source type without a name)
//   key      := width | pad | fill | step | start | format |
//               restart | end | warn | journal | unique | check  (number only)
//
// The value after the source name is the segment's format where it has a
// meaning of its own: the pattern of `date`, the level of `department` and
// `class`, the fixed text of `text`. `number` takes its start value as
// `start=`, every other source its format as `format=`. The numbering
// policies of the rule are settings of its `number` segment: `restart=`
// never | year | month | day | prefix, `end=N`, `warn=N`, `journal=yes`,
// `unique=yes`, `check=` mod10 | luhn | mod97; each is off unless given. Names, keys and the policy
// words are read without regard to case.
//
// Escapes inside values: `\,` `\=` `\\` stand for themselves, `\n` `\r` `\t`
// for a line feed, carriage return and tab, `\u{HEX}` for any character.
// FormatSegment escapes `,` `=` `\` and control characters, so every value
// survives the way back through ParseSegment.
#ifndef QUILLET_CORE_SEGMENT_NOTATION_H_
#define QUILLET_CORE_SEGMENT_NOTATION_H_

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "quillet/numbering_policy.h"

namespace quillet::notation {

// Data source type codes (SNrule.cdatasrctype) with a meaning of their own.
namespace source {
inline constexpr int kDate = 0;
inline constexpr int kLot = 1;
inline constexpr int kDepartment = 2;
inline constexpr int kClass = 7;
inline constexpr int kItem = 8;
inline constexpr int kText = 9;
inline constexpr int kNumber = 10;
}  // namespace source

// One rule segment, as its SNrule row stores it, and for the running number
// the rule's numbering policies (stored beside the rule, see SavePolicy).
struct Segment {
  Segment(int type_code = source::kText, std::string format_text = {}, int32_t width_digits = 0,
          std::string pad_sign = {}, std::string fill_sign = {}, int32_t step_length = 0,
          NumberingPolicy numbering = {})
      : type(type_code),
        format(std::move(format_text)),
        width(width_digits),
        pad(std::move(pad_sign)),
        fill(std::move(fill_sign)),
        step(step_length),
        policy(numbering) {}

  int type;                // cdatasrctype
  std::string format;      // cdatasrcformat: pattern, level, fixed text or start value
  int32_t width;           // iformatlength (digits of the running number)
  std::string pad;         // cpatchsign; empty means "0"
  std::string fill;        // creplacesign; empty means an empty value is an error
  int32_t step;            // isteplength
  NumberingPolicy policy;  // the rule's numbering policies (number only)

  friend bool operator==(const Segment&, const Segment&) = default;
};

// A word that is not a segment. what() names the bad part, e.g.
// "width 'two' is not a whole number".
class NotationError : public std::runtime_error {
 public:
  explicit NotationError(const std::string& message, std::optional<int32_t> number = std::nullopt)
      : std::runtime_error(message), number_(number) {}
  // The error number the component would raise for the same fault, if any.
  std::optional<int32_t> number() const { return number_; }

 private:
  std::optional<int32_t> number_;
};

// The word of a segment. Raises NotationError for an unknown source or key, a
// key given twice or not allowed for the source, a missing width where the
// source's text is fitted to one, a value of the wrong kind (width, step and
// start whole numbers, a level of digits), a width above
// limits::kMaxSegmentWidth or a running number narrower than
// limits::kMinRunningNumberWidth (errc::kWidthOutOfRange, as the component's
// rule save), and a malformed escape or one that stands for NUL
// (errc::kInvalidText). Defaults:
// width 0, step 1 for `number` and 0 otherwise, start 1, every policy off.
// Pure; thread-safe.
Segment ParseSegment(std::string_view word);

// The canonical word of a segment: ParseSegment(FormatSegment(s)) == s for
// every segment whose type is 0 or more and whose level or start, where it
// has one, is what ParseSegment accepts. Pure; thread-safe.
std::string FormatSegment(const Segment& segment);

// A value as a segment word writes it: `,` `=` `\` and control characters
// escaped, so that ParseSegment reads it back unchanged. Pure.
std::string EscapeSegmentValue(std::string_view text);

// The name of a data source type ("department", "free3", "type13"); every
// type code has one. Pure.
std::string SourceName(int type);

// The type code of a data source name (any case), or nullopt. Pure.
std::optional<int> SourceType(std::string_view name);

// The named data sources in the notation's order: date, lot, ..., free10.
const std::vector<std::string_view>& SourceNames();

// What the value after a source's name means ("pattern" for date, "level"
// for department and class, "fixed text" for text), or nullopt for a source
// that takes none. Pure.
std::optional<std::string_view> SourceHeadMeaning(int type);

// The short name of that value ("pattern", "level", "text"), as JSON segments
// carry it, or nullopt. Pure.
std::optional<std::string_view> SourceHeadKey(int type);

// Whether the segment's text is fitted to its width: every source except
// date, text and the unnamed types. Such a segment needs `width=`. Pure.
bool UsesWidth(int type);

// Whether the type is one of the free items (20, 21, 28 to 35). Pure.
bool IsFreeItem(int type);

// Whether the value comes from the document line's row of the type: date,
// lot, department, work center, warehouse, clerk, supplier, free items. Pure.
bool IsLineValue(int type);

// Whether the type's values have mappings, and its format, width and pad sign
// are shared by every rule: department to item (2 to 8) and the free items.
// Pure.
bool IsMappedSource(int type);

}  // namespace quillet::notation

#endif  // QUILLET_CORE_SEGMENT_NOTATION_H_
