// Rules and running numbers: list, read, save and delete an owner's rule;
// read and set its running number; preview a rule being edited.
#include <httplib.h>

#include <optional>
#include <string>
#include <vector>

#include "apps/serve/json_body.h"
#include "apps/serve/line_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/rule_json.h"
#include "apps/serve/worker.h"
#include "core/number_text.h"

namespace quillet::serve {
namespace {

using nlohmann::json;

RuleOwner OwnerOf(const Exchange& exchange) {
  try {
    return ParseOwner(exchange.Parameter("owner"));
  } catch (const Failure& bad) {
    throw BadInput("owner", bad.description());
  }
}

// A rule that cannot be read is listed apart, so that it keeps no other
// from being listed.
void ListRules(Exchange& exchange) {
  if (AnswerRuleExport(exchange)) return;
  const RuleList list = exchange.worker.Domain().Rules();
  json rules = json::array();
  for (const Rule& rule : list.rules) rules.push_back(RuleJson(rule));
  json unreadable = json::array();
  for (const RuleList::Unreadable& rule : list.unreadable) {
    unreadable.push_back(
        {{"owner", FormatOwner(rule.owner)}, {"name", rule.name}, {"reason", rule.reason}});
  }
  json answer = {{"rules", rules}};
  if (!unreadable.empty()) answer["unreadable"] = unreadable;
  WriteJson(exchange.response, answer);
}

void GetRule(Exchange& exchange) {
  WriteJson(exchange.response, RuleJson(exchange.worker.Domain().GetRule(OwnerOf(exchange))));
}

std::vector<Segment> SegmentsOf(const json& body) {
  const auto member = body.find("segments");
  if (member == body.end() || !member->is_array()) {
    throw BadInput("segments", "segments must be a list of segments");
  }
  std::vector<Segment> segments;
  for (std::size_t i = 0; i < member->size(); ++i) {
    const std::string field = "segments[" + std::to_string(i) + "]";
    const std::string word = SegmentWord((*member)[i], field);
    try {
      segments.push_back(ParseSegment(word));
    } catch (const Failure& bad) {
      throw Problem(400,
                    "segment " + std::to_string(i + 1) + " '" + word + "': " + bad.description(),
                    "segments", bad.number());
    }
  }
  return segments;
}

// Answers 201 for a new rule, 200 for one saved again; "notes" tell what
// the save changed besides. A rule that would repeat serial numbers is
// saved only with "force": true.
void PutRule(Exchange& exchange) {
  const RuleOwner owner = OwnerOf(exchange);
  const json body = BodyObject(exchange.request.body, {"name", "segments", "force"});
  SaveRuleRequest request{owner, RequiredText(body, "name"), SegmentsOf(body),
                          OptionalFlag(body, "force").value_or(false)};
  const SavedRule saved = exchange.worker.Domain().SaveRule(request);
  json answer = RuleJson(saved.rule);
  answer["notes"] = saved.notes;
  WriteJson(exchange.response, answer, saved.created ? 201 : 200);
}

void DeleteOwnRule(Exchange& exchange) {
  const Rule deleted = exchange.worker.Domain().DeleteRule(OwnerOf(exchange));
  WriteJson(exchange.response, {{"deleted", RuleJson(deleted)}});
}

// The line a rule that restarts its running number keeps a counter for:
// ?date=, ?item= and the values as further query parameters.
Line CounterLine(const httplib::Request& request) {
  Line line{request.get_param_value("item"), request.get_param_value("date"), {}};
  for (const auto& [name, value] : request.params) {
    if (name != "item" && name != "date") line.values[name] = value;
  }
  return line;
}

json NumberJson(const RunningNumber& number) {
  json answer = {{"owner", FormatOwner(number.owner)}, {"next_number", number.next_number}};
  if (!number.counter.empty()) answer["counter"] = number.counter;
  return answer;
}

void GetNumber(Exchange& exchange) {
  const RuleOwner owner = OwnerOf(exchange);
  WriteJson(exchange.response, NumberJson(exchange.worker.Domain().GetRunningNumber(
                                   owner, CounterLine(exchange.request))));
}

// A whole number within the stored number's range, as a JSON number or text.
int32_t NextNumberOf(const json& body) {
  const auto member = body.find("next_number");
  std::optional<int64_t> number;
  if (member != body.end() && member->is_number_integer()) number = member->get<int64_t>();
  if (member != body.end() && member->is_string())
    number = service::ParseNumber<int64_t>(member->get<std::string>());
  if (!number || *number < INT32_MIN || *number > INT32_MAX) {
    throw BadInput("next_number",
                   "next_number must be a whole number from -2147483648 to 2147483647");
  }
  return static_cast<int32_t>(*number);
}

// {"next_number": N}; a number below the current one needs "force": true.
// For a rule that restarts, "item", "date" and "values" name the counter.
void PutNumber(Exchange& exchange) {
  const RuleOwner owner = OwnerOf(exchange);
  const json body =
      BodyObject(exchange.request.body, {"next_number", "force", "item", "date", "values"});
  const SetRunningNumberRequest request{owner, NextNumberOf(body),
                                        LineOf(OptionalText(body, "item").value_or(""), body),
                                        OptionalFlag(body, "force").value_or(false)};
  const SetRunningNumberResult set = exchange.worker.Domain().SetRunningNumber(request);
  json answer = NumberJson(set.number);
  answer["previous"] = set.previous;
  WriteJson(exchange.response, answer);
}

json FailureJson(const std::optional<DraftFailure>& failure) {
  if (!failure) return json::object();
  return {{"cause", failure->cause}, {"reason", failure->reason}};
}

json DraftJson(const std::vector<Segment>& segments, const DraftEvaluation& draft) {
  json list = json::array();
  for (std::size_t i = 0; i < segments.size(); ++i) {
    json segment = {{"notation", FormatSegment(segments[i])}, {"text", nullptr}};
    if (draft.segments[i].text) segment["text"] = *draft.segments[i].text;
    segment.update(FailureJson(draft.segments[i].failure));
    list.push_back(std::move(segment));
  }
  json answer = {{"next_number", draft.next_number},
                 {"number_fits", draft.number_fits},
                 {"serial_number", draft.serial_number},
                 {"segments", list}};
  answer.update(FailureJson(draft.failure));
  if (!draft.check.empty()) answer["check"] = draft.check;
  return answer;
}

// The segments of the body, saved or not, evaluated for a sample line: an
// item's own code, else the body's "item". Writes nothing.
void PreviewDraft(Exchange& exchange) {
  const RuleOwner owner = OwnerOf(exchange);
  const json body = BodyObject(exchange.request.body, {"segments", "item", "date", "values"});
  const std::vector<Segment> segments = SegmentsOf(body);
  const std::string item =
      owner.kind == OwnerKind::kItem ? owner.code : OptionalText(body, "item").value_or("");
  const Line line = LineOf(item, body);
  const DraftEvaluation draft = exchange.worker.Domain().EvaluateDraft({owner, segments, line});
  json answer = {{"owner", FormatOwner(owner)}, {"item", item}, {"values", ValuesJson(line)}};
  answer.update(DraftJson(segments, draft));
  WriteJson(exchange.response, answer);
}

}  // namespace

void AddRuleRoutes(Router& router) {
  router.Add({"GET", "/v1/rules", Access::kRead, ListRules});
  router.Add({"GET", "/v1/rules/{owner}", Access::kRead, GetRule});
  router.Add({"PUT", "/v1/rules/{owner}", Access::kWrite, PutRule});
  router.Add({"DELETE", "/v1/rules/{owner}", Access::kWrite, DeleteOwnRule});
  router.Add({"GET", "/v1/rules/{owner}/number", Access::kRead, GetNumber});
  router.Add({"PUT", "/v1/rules/{owner}/number", Access::kWrite, PutNumber});
  router.Add({"POST", "/v1/rules/{owner}/preview", Access::kRead, PreviewDraft});
}

}  // namespace quillet::serve
