#include "generation/segment_text.h"

#include <optional>
#include <string_view>
#include <vector>

#include "core/field_text.h"
#include "core/runtime_errors.h"
#include "core/text_functions.h"
#include "core/utf8.h"
#include "core/value_document.h"
#include "generation/graded_code.h"
#include "generation/mapped_code.h"
#include "store/rule_queries.h"

namespace quillet::generation {
namespace {

// How a data source type's value is found and treated before fitting.
struct SourceRule {
  bool reads_row;     // the value comes from the value document's row of the type
  bool needs_bhave;   // the row's bHave must be exactly "true"
  const char* grade;  // the graded-code kind applied to the value, or nullptr
  bool mapped;        // an archive value replaced by its mapped code
};

std::optional<SourceRule> RuleOf(std::string_view type) {
  if (type == "1") return SourceRule{true, true, nullptr, false};
  if (type == "2") return SourceRule{true, true, kDepartmentKind, true};
  if (type == "3" || type == "4" || type == "5" || type == "6") {
    return SourceRule{true, true, nullptr, true};
  }
  if (type == "7") return SourceRule{false, false, kInventoryClassKind, true};
  if (type == "8") return SourceRule{false, false, nullptr, true};
  if (type == "20" || type == "21" || type == "28" || type == "29" || type == "30" ||
      type == "31" || type == "32" || type == "33" || type == "34" || type == "35") {
    return SourceRule{true, true, nullptr, false};
  }
  return std::nullopt;
}

XmlNode RowOf(const XmlDocument& values, const std::string& type) {
  const std::optional<XmlNode> row = RowOfType(values, std::stoi(type));
  if (!row) throw Error::ObjectNotSet();
  return *row;
}

std::string AttributeOf(const XmlNode& row, const char* name) {
  std::optional<std::string> value = row.getAttribute(name);
  if (!value) throw Error::ObjectNotSet();
  return *std::move(value);
}

// The fill sign's first character `iformatlength` times; fails without one.
std::string Fill(const RecordSet& segment) {
  const Variant& sign = segment.Field("creplacesign");
  if (sign.IsNull() || sign.ToText().empty()) {
    throw Error::InvalidUseOfNull();
  }
  const int32_t count = segment.Field("iformatlength").ToInt32();
  if (count < 0) throw Error::InvalidArgument();
  return utf8::Repeat(utf8::First(sign.ToText()), static_cast<std::size_t>(count));
}

std::string DateText(const SegmentContext& context, const RecordSet& segment) {
  const std::string value = AttributeOf(RowOf(context.values, "0"), "value");
  return FormatDateValue(value, FieldText(segment.Field("cdatasrcformat")), false);
}

std::string SourceValue(const SegmentContext& context, const std::string& type,
                        const SourceRule& rule) {
  if (!rule.reads_row) return context.item_code;
  const XmlNode row = RowOf(context.values, type);
  std::string value = AttributeOf(row, "value");
  if (rule.needs_bhave && AttributeOf(row, "bHave") != "true") {
    throw Error(errc::kInvalidArgument, "The value of data source " + type + " is not available");
  }
  return value;
}

// GetGradedCode, asked once per evaluation for the same arguments.
std::string GradedCode(const SegmentContext& context, const std::string& value, const char* kind,
                       const std::string& grade) {
  const auto key = std::make_tuple(value, std::string(kind), grade);
  auto found = context.lookups.graded.find(key);
  if (found != context.lookups.graded.end()) return found->second;
  std::optional<std::string> known;
  if (context.lookups.facts) known = context.lookups.facts->GradedCode(value, kind, grade);
  std::string code = known ? *std::move(known) : GetGradedCode(context.db, value, kind, grade);
  context.lookups.graded.emplace(key, code);
  return code;
}

// The value that a mapped segment looks up, or nullopt when the segment
// fails or fills before it gets there (it fails again, in its turn).
std::optional<std::string> MappedSeed(const SegmentContext& context, const RecordSet& segment) {
  try {
    const std::string type = SourceType(segment);
    const std::optional<SourceRule> rule = RuleOf(type);
    if (!rule || !rule->mapped) return std::nullopt;
    std::string value = SourceValue(context, type, *rule);
    if (value.empty()) return std::nullopt;
    if (rule->grade == nullptr) return value;
    return GradedCode(context, value, rule->grade, FieldText(segment.Field("cdatasrcformat")));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// Reads the codes of every mapped segment of the rule in one query.
void LoadMappedCodes(const SegmentContext& context) {
  SegmentLookups& lookups = context.lookups;
  lookups.mapped_loaded = true;
  const auto segments = context.segments.Clone();
  std::vector<SegmentLookups::Key> pairs;
  for (segments->MoveFirst(); !segments->Eof(); segments->MoveNext()) {
    std::optional<std::string> seed = MappedSeed(context, *segments);
    if (!seed) continue;
    SegmentLookups::Key key{SourceType(*segments), *std::move(seed)};
    if (lookups.mapped_asked.insert(key).second) pairs.push_back(std::move(key));
  }
  if (pairs.empty()) return;
  const auto rows = store::generation::MappedCodes(context.db, pairs);
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    const Variant& code = rows->Field("ccode");
    lookups.mapped.emplace(SegmentLookups::Key{rows->Field("cdatasrccode").ToText(),
                                               rows->Field("cseedcode").ToText()},
                           FieldTextOrEmpty(code));
  }
}

// The mapped code of a segment of the rule, from the shared look-up.
std::string MappedCode(const SegmentContext& context, const std::string& type,
                       const std::string& value) {
  if (context.lookups.facts) {
    if (std::optional<std::string> code = context.lookups.facts->MappedCode(type, value)) {
      return *std::move(code);
    }
  }
  if (!context.lookups.mapped_loaded) LoadMappedCodes(context);
  const SegmentLookups::Key key{type, value};
  if (!context.lookups.mapped_asked.contains(key))
    return generation::MappedCode(context.db, type, value);
  auto found = context.lookups.mapped.find(key);
  return found == context.lookups.mapped.end() ? std::string() : found->second;
}

std::string ArchiveText(const SegmentContext& context, const RecordSet& segment,
                        const std::string& type, const SourceRule& rule) {
  std::string value = SourceValue(context, type, rule);
  if (value.empty()) return Fill(segment);
  if (rule.grade != nullptr) {
    value = GradedCode(context, value, rule.grade, FieldText(segment.Field("cdatasrcformat")));
  }
  if (rule.mapped) {
    std::string mapped = MappedCode(context, type, value);
    if (!mapped.empty()) return mapped;
  }
  return PatchValue(value, FieldText(segment.Field("iformatlength")),
                    FieldText(segment.Field("cpatchsign")));
}

}  // namespace

std::string SourceType(const RecordSet& segment) {
  return FieldText(segment.Field("cdatasrctype"));
}

std::string SegmentText(const SegmentContext& context, const RecordSet& segment) {
  const std::string type = SourceType(segment);
  if (type == "0") return DateText(context, segment);
  if (type == "9") {
    const Variant& fixed = segment.Field("cdatasrcformat");
    return FieldTextOrEmpty(fixed);
  }
  const std::optional<SourceRule> rule = RuleOf(type);
  if (!rule) return {};
  return ArchiveText(context, segment, type, *rule);
}

std::string RunningNumberText(int32_t number, const std::string& stored_text, int16_t digits) {
  const std::string decimal = std::to_string(number);
  if (GetByteLen(decimal) > digits) return stored_text;
  return PatchValue(decimal, std::to_string(digits), "0");
}

}  // namespace quillet::generation
