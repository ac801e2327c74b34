// Segment values: the text that one rule segment contributes to a serial
// number, for every data source type but the running number.
#ifndef QUILLET_GENERATION_SEGMENT_TEXT_H_
#define QUILLET_GENERATION_SEGMENT_TEXT_H_

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "generation/issue_facts.h"
#include "quillet/recordset.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

// The data source type of the running-number segment.
inline constexpr const char* kRunningNumberType = "10";

// Look-ups made once per evaluation and shared by its segments: the mapped
// codes of every mapped segment, asked for together when the first of them
// needs its code, and the graded codes found so far. Nothing outlives the
// evaluation.
struct SegmentLookups {
  using Key = std::pair<std::string, std::string>;  // data source type, value
  bool mapped_loaded = false;
  std::set<Key> mapped_asked;
  std::map<Key, std::string> mapped;  // the first row's code of each pair found
  std::map<std::tuple<std::string, std::string, std::string>, std::string> graded;
  // The issue's facts, read before the walk; what they hold is not asked again.
  const IssueFacts* facts = nullptr;
};

// What the segments of one evaluation share.
struct SegmentContext {
  store::Connection& db;
  const XmlDocument& values;  // the value document
  const std::string& item_code;
  const RecordSet& segments;  // every segment of the rule
  SegmentLookups& lookups;
};

// The data source type of the segment row, as decimal text. Raises
// errc::kInvalidUseOfNull for a null type.
std::string SourceType(const RecordSet& segment);

// The text of the current row of `segment` (an SNrule row) for any data
// source type but the running number; the empty text for a type without a
// source. Raises when the evaluation fails: a missing row or attribute in the
// value document, bHave not exactly "true" where it is read, an empty value
// without a fill sign, a null column that is converted, a failing graded code
// or mapping look-up.
std::string SegmentText(const SegmentContext& context, const RecordSet& segment);

// The running-number text of a rule's parts: `number` padded with "0" to
// `digits` when it fits, else `stored_text` (the column's own text) as it is.
std::string RunningNumberText(int32_t number, const std::string& stored_text, int16_t digits);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_SEGMENT_TEXT_H_
