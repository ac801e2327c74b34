// The rule document the setup screen saves: the owner's name
// on the root and one `row` element per segment, attributes read by position.
#ifndef QUILLET_MAINTENANCE_RULE_DOCUMENT_H_
#define QUILLET_MAINTENANCE_RULE_DOCUMENT_H_

#include <string>
#include <string_view>
#include <vector>

#include "quillet/numbering_policy.h"
#include "quillet/xml_document.h"
#include "store/maintenance_rules.h"

namespace quillet::maintenance {

struct RuleRow {
  // The first seven attribute values, blanks removed at both ends.
  store::maintenance::Segment segment;
  // The second attribute as it stands: only this exact text makes the row's
  // type one whose settings are shared and whose mappings are rebuilt.
  std::string untrimmed_type;
};

// Every element matching "//row", in document order. Raises errc::kOverflow
// for more rows than a 16-bit counter reaches, errc::kObjectNotSet for a row
// with fewer than seven attributes. Names of attributes are not read.
std::vector<RuleRow> ReadRuleRows(const XmlDocument& rule);

// Raises errc::kWidthOutOfRange, naming the row, for a row whose width is a
// number above limits::kMaxSegmentWidth or below 0, or, for the running
// number (type 10), below limits::kMinRunningNumberWidth; an empty width is
// stored as 0. A width that is not a number is left to the database, which
// refuses it.
void RequireWidthsInRange(const std::vector<RuleRow>& rows);

// The numbering policy of the rule: the attributes `restart` (never, year,
// month, day, prefix), `end` and `warn` (whole numbers), `journal` and
// `unique` (yes, no) of the first row whose type is the running number,
// found by name after the seven read by position. A document without them
// gives the default policy: every policy off. Raises errc::kInvalidArgument,
// naming the attribute, for a value it cannot take.
NumberingPolicy ReadNumberingPolicy(const std::vector<RuleRow>& rows, const XmlDocument& rule);

// The root's `cinvname`, the empty text when missing. Raises
// errc::kObjectNotSet for an empty document.
std::string ReadOwnerName(const XmlDocument& rule);

// True for the decimal text of a type whose format, width and pad sign are
// shared by all rules: 2 to 8, 20, 21, 28 to 35.
bool IsMappedSourceType(std::string_view type);

// `text` without blanks (spaces) at either end.
std::string TrimBlanks(std::string_view text);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_RULE_DOCUMENT_H_
