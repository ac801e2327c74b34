#include "numbering/draft.h"

#include <cstdint>
#include <exception>
#include <memory>

#include "core/check_character.h"
#include "core/field_text.h"
#include "core/number_text.h"
#include "core/segment_notation.h"
#include "core/text_functions.h"
#include "generation/item_lookup.h"
#include "generation/segment_text.h"
#include "maintenance/rule_lookup.h"
#include "numbering/catalog.h"
#include "numbering/line_document.h"
#include "quillet/recordset.h"
#include "store/database_error.h"

namespace quillet::numbering {
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
                    Variant(static_cast<int32_t>(segment.source)), Variant(segment.format),
                    Variant(segment.width), Variant(segment.pad),
                    segment.fill.empty() ? Variant::Null() : Variant(segment.fill),
                    Variant(segment.step)});
  }
  return std::make_shared<RecordSet>(std::move(columns), std::move(rows));
}

// The owner's stored number; for an owner without a rule, where the draft starts.
std::string NextNumber(Session& session, const RuleOwner& owner,
                       const std::vector<Segment>& segments) {
  if (HasRule(session, owner)) {
    return FieldTextOrEmpty(maintenance::StoredRunningNumber(session.db(), owner));
  }
  for (const Segment& segment : segments) {
    if (segment.source == DataSource::kRunningNumber) {
      return segment.format.empty() ? "1" : segment.format;
    }
  }
  return "";
}

DraftSegment Failed(std::string cause, std::string reason) {
  return {std::nullopt, DraftFailure{std::move(cause), std::move(reason)}};
}

// The failures the evaluation would only report in the engine's words.
std::optional<DraftSegment> Precheck(Session& session, const Segment& segment,
                                     const std::map<int, std::string>& values,
                                     const std::string& item) {
  const int type = static_cast<int>(segment.source);
  const auto found = values.find(type);
  const std::string value = found == values.end() ? "" : found->second;
  // An empty date gives an empty text; every other line value needs a fill.
  if (notation::IsLineValue(type) && segment.source != DataSource::kDate && value.empty() &&
      segment.fill.empty()) {
    return Failed("missing_value", "the line has no " + DataSourceName(segment.source) +
                                       " and the segment has no fill sign");
  }
  if (segment.source == DataSource::kDepartment && !value.empty() &&
      !generation::DepartmentExists(session.reader(), value)) {
    return Failed("unknown_department", "there is no department " + value);
  }
  if ((segment.source == DataSource::kItemClass || segment.source == DataSource::kItem) &&
      item.empty()) {
    return Failed("no_item",
                  "the " + DataSourceName(segment.source) + " comes from the line's item");
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
    if (store::IsUnavailable(error)) throw;
    return Failed("failed", error.description());
  } catch (const std::exception& error) {
    return Failed("failed", error.what());
  }
}

// The check method the draft's running number asks for, if any.
std::optional<CheckMethod> CheckMethodOfDraft(const std::vector<Segment>& segments) {
  for (const Segment& segment : segments) {
    if (segment.source == DataSource::kRunningNumber) return segment.policy.check;
  }
  return std::nullopt;
}

void Conclude(DraftEvaluation& draft, bool has_segments, std::optional<CheckMethod> check) {
  if (!has_segments) draft.failure = DraftFailure{"no_segments", "the rule has no segments"};
  for (std::size_t i = 0; i < draft.segments.size() && !draft.failure; ++i) {
    if (const auto& failure = draft.segments[i].failure) {
      draft.failure =
          DraftFailure{failure->cause, "segment " + std::to_string(i + 1) + ": " + failure->reason};
    } else {
      draft.serial_number += *draft.segments[i].text;
    }
  }
  if (draft.failure) {
    draft.serial_number.clear();
  } else if (check) {
    draft.check = CheckCharacters(*check, draft.serial_number);
    draft.serial_number += draft.check;
  }
}

}  // namespace

DraftEvaluation EvaluateDraft(Session& session, const DraftRequest& request) {
  RequireKnownOwner(session, request.owner);
  Line line = request.line;
  if (request.owner.kind == OwnerKind::kItem) line.item = request.owner.code;
  const std::map<int, std::string> values = LineValuesByType(line);
  DraftEvaluation draft;
  draft.next_number = NextNumber(session, request.owner, request.segments);
  const std::shared_ptr<RecordSet> rows = SegmentRows(request.owner, request.segments);
  const std::shared_ptr<XmlDocument> document = ValueDocument(line.item, values);
  generation::SegmentLookups lookups;
  const generation::SegmentContext context{session.db(), *document, line.item, *rows, lookups};
  rows->MoveFirst();
  bool numbered = false;
  for (const Segment& segment : request.segments) {
    std::optional<DraftSegment> outcome = Precheck(session, segment, values, line.item);
    if (!outcome && segment.source == DataSource::kRunningNumber) {
      outcome = numbered ? Failed("second_number", "a rule has one running number")
                         : RunningNumber(segment, draft);
      numbered = true;
    }
    if (!outcome) outcome = Evaluate(context, *rows);
    draft.segments.push_back(*std::move(outcome));
    rows->MoveNext();
  }
  Conclude(draft, !request.segments.empty(), CheckMethodOfDraft(request.segments));
  return draft;
}

}  // namespace quillet::numbering
