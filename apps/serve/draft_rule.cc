#include "apps/serve/draft_rule.h"

#include <cstdint>
#include <exception>
#include <memory>

#include "apps/catalog.h"
#include "apps/rule_store.h"
#include "apps/serve/problem.h"
#include "core/number_text.h"
#include "core/text_functions.h"
#include "generation/segment_text.h"
#include "quillet/error.h"
#include "quillet/recordset.h"

namespace quillet::apps::serve {
namespace {

// The draft's segments as the SNrule rows the issuing methods walk.
std::shared_ptr<RecordSet> SegmentRows(const RuleOwner& owner,
                                       const std::vector<Segment>& segments) {
  std::vector<Column> columns;
  for (const char* name :
       {"cinvcode", "cinvtype", "igrade", "crulename", "cdatasrctype", "cdatasrcformat",
        "iformatlength", "cpatchsign", "creplacesign", "isteplength"}) {
    columns.push_back({name, FieldType::kText});
  }
  std::vector<std::vector<Variant>> rows;
  int32_t grade = 0;
  for (const Segment& segment : segments) {
    rows.push_back({Variant(owner.code), Variant(owner.KindNumber()), Variant(++grade), Variant(""),
                    Variant(static_cast<int32_t>(segment.type)), Variant(segment.format),
                    Variant(segment.width), Variant(segment.pad),
                    segment.fill.empty() ? Variant::Null() : Variant(segment.fill),
                    Variant(segment.step)});
  }
  return std::make_shared<RecordSet>(std::move(columns), std::move(rows));
}

// The owner's stored number; for an owner without a rule, where the draft starts.
std::string NextNumber(DomainSession& session, Catalog& catalog, const RuleOwner& owner,
                       const std::vector<Segment>& segments) {
  if (catalog.HasRule(owner)) return ReadNextNumber(session.component(), owner);
  for (const Segment& segment : segments) {
    if (segment.type == source::kNumber) return segment.format.empty() ? "1" : segment.format;
  }
  return "";
}

DraftSegment Failed(std::string cause, std::string reason) {
  return {std::nullopt, DraftFailure{std::move(cause), std::move(reason)}};
}

// The failures the evaluation would only report in the component's words.
std::optional<DraftSegment> Precheck(Catalog& catalog, const Segment& segment,
                                     const LineValues& line) {
  const auto found = line.values.find(segment.type);
  const std::string value = found == line.values.end() ? "" : found->second;
  // An empty date gives an empty text; every other line value needs a fill.
  if (IsLineValue(segment.type) && segment.type != source::kDate && value.empty() &&
      segment.fill.empty()) {
    return Failed("missing_value", "the line has no " + ValueName(segment.type) +
                                       " and the segment has no fill sign");
  }
  if (segment.type == source::kDepartment && !value.empty() && !catalog.DepartmentExists(value)) {
    return Failed("unknown_department", "there is no department " + value);
  }
  if ((segment.type == source::kClass || segment.type == source::kItem) && line.item.empty()) {
    return Failed("no_item", "the " + SourceName(segment.type) + " comes from the line's item");
  }
  return std::nullopt;
}

// The running number as a single issue writes it: cut to the width when longer.
DraftSegment RunningNumber(const Segment& segment, DraftEvaluation& draft) {
  const std::optional<int32_t> number = service::ParseNumber<int32_t>(draft.next_number);
  if (!number) {
    return Failed("number_not_whole",
                  "the running number is '" + draft.next_number + "', not a whole number");
  }
  const std::string decimal = std::to_string(*number);
  draft.number_fits = GetByteLen(decimal) <= segment.width;
  return {PatchValue(decimal, std::to_string(segment.width), "0"), std::nullopt};
}

DraftSegment Evaluate(const generation::SegmentContext& context, const RecordSet& row) {
  try {
    return {generation::SegmentText(context, row), std::nullopt};
  } catch (const Error& error) {
    if (IsUnavailable(error.number())) throw;
    return Failed("failed", error.description());
  } catch (const std::exception& error) {
    return Failed("failed", error.what());
  }
}

}  // namespace

DraftEvaluation EvaluateDraft(DomainSession& session, const RuleOwner& owner,
                              const std::vector<Segment>& segments, const LineValues& line) {
  Catalog catalog(session);
  DraftEvaluation draft;
  draft.next_number = NextNumber(session, catalog, owner, segments);
  const std::shared_ptr<RecordSet> rows = SegmentRows(owner, segments);
  const std::shared_ptr<XmlDocument> values = ValueDocument(line, std::nullopt);
  generation::SegmentLookups lookups;
  const generation::SegmentContext context{session.reader().connection(), *values, line.item, *rows,
                                           lookups};
  rows->MoveFirst();
  for (const Segment& segment : segments) {
    std::optional<DraftSegment> outcome = Precheck(catalog, segment, line);
    if (!outcome && segment.type == source::kNumber) outcome = RunningNumber(segment, draft);
    if (!outcome) outcome = Evaluate(context, *rows);
    draft.segments.push_back(*std::move(outcome));
    rows->MoveNext();
  }
  if (segments.empty()) draft.failure = DraftFailure{"no_segments", "the rule has no segments"};
  for (std::size_t i = 0; i < draft.segments.size() && !draft.failure; ++i) {
    if (const auto& failure = draft.segments[i].failure) {
      draft.failure =
          DraftFailure{failure->cause, "segment " + std::to_string(i + 1) + ": " + failure->reason};
    } else {
      draft.serial_number += *draft.segments[i].text;
    }
  }
  if (draft.failure) draft.serial_number.clear();
  return draft;
}

}  // namespace quillet::apps::serve
