// Rules and running numbers: list, read, save and delete an owner's rule;
// read and set its running number; preview a rule being edited.
#include <httplib.h>

#include <optional>
#include <string>
#include <vector>

#include "apps/catalog.h"
#include "apps/owner_notation.h"
#include "apps/rule_save.h"
#include "apps/rule_store.h"
#include "apps/serve/draft_rule.h"
#include "apps/serve/json_body.h"
#include "apps/serve/line_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/rule_json.h"
#include "apps/serve/worker.h"
#include "apps/tool_error.h"
#include "core/number_text.h"

namespace quillet::apps::serve {
namespace {

using nlohmann::json;

RuleOwner OwnerOf(const Exchange& exchange) {
  try {
    return ParseOwner(exchange.Parameter("owner"));
  } catch (const OwnerNotationError& bad) {
    throw BadInput("owner", bad.what());
  }
}

// The owner's own rule; 404 with the tool's words (which rule an item
// follows instead) when it has none.
Rule OwnRule(DomainSession& session, const RuleOwner& owner) {
  try {
    Catalog(session).RequireRule(owner);
  } catch (const ToolFailure& missing) {
    throw NotFound(missing.what());
  }
  std::optional<Rule> rule = ReadRuleWithPolicy(session, owner);
  if (!rule) throw NotFound(FormatOwner(owner) + " has no rule of its own");
  return *std::move(rule);
}

void ListRules(Exchange& exchange) {
  DomainSession& session = exchange.worker.Session();
  json rules = json::array();
  for (const RuleOwner& owner : Catalog(session).RuleOwners()) {
    if (std::optional<Rule> rule = ReadRuleWithPolicy(session, owner)) {
      rules.push_back(RuleJson(*rule));
    }
  }
  WriteJson(exchange.response, {{"rules", rules}});
}

void GetRule(Exchange& exchange) {
  const RuleOwner owner = OwnerOf(exchange);
  WriteJson(exchange.response, RuleJson(OwnRule(exchange.worker.Session(), owner)));
}

std::vector<Segment> SegmentsOf(const json& body) {
  const auto member = body.find("segments");
  if (member == body.end() || !member->is_array()) {
    throw BadInput("segments", "segments must be a list of segments");
  }
  std::vector<std::string> words;
  for (std::size_t i = 0; i < member->size(); ++i) {
    words.push_back(SegmentWord((*member)[i], "segments[" + std::to_string(i) + "]"));
  }
  try {
    return ParseRuleSegments(words);
  } catch (const ToolUsage& bad) {
    throw BadInput("segments", bad.what());
  }
}

// Answers 201 for a new rule, 200 for one saved again; "notes" tell what
// the save changed besides.
void PutRule(Exchange& exchange) {
  const RuleOwner owner = OwnerOf(exchange);
  const json body = BodyObject(exchange.request.body, {"name", "segments"});
  const std::string name = RequiredText(body, "name");
  const std::vector<Segment> segments = SegmentsOf(body);
  DomainSession& session = exchange.worker.Session();
  Catalog catalog(session);
  try {
    catalog.RequireKnown(owner);
  } catch (const ToolFailure& unknown) {
    throw NotFound(unknown.what());
  }
  const bool existed = catalog.HasRule(owner);
  SaveOutcome outcome;
  try {
    outcome = SaveRuleWithNotes(session, owner, name, segments);
  } catch (const ToolFailure& refused) {
    throw Conflict(refused.what());
  }
  json answer = RuleJson(outcome.rule);
  answer["notes"] = outcome.notes;
  WriteJson(exchange.response, answer, existed ? 200 : 201);
}

void DeleteOwnRule(Exchange& exchange) {
  const RuleOwner owner = OwnerOf(exchange);
  DomainSession& session = exchange.worker.Session();
  const Rule rule = OwnRule(session, owner);
  DeleteRule(session.component(), rule);
  WriteJson(exchange.response, {{"deleted", RuleJson(rule)}});
}

void GetNumber(Exchange& exchange) {
  const RuleOwner owner = OwnerOf(exchange);
  DomainSession& session = exchange.worker.Session();
  OwnRule(session, owner);
  WriteJson(exchange.response, {{"owner", FormatOwner(owner)},
                                {"next_number", ReadNextNumber(session.component(), owner)}});
}

// A whole number within the stored number's range, as a JSON number or text.
std::string NextNumberOf(const json& body) {
  const auto member = body.find("next_number");
  std::optional<int64_t> number;
  if (member != body.end() && member->is_number_integer()) number = member->get<int64_t>();
  if (member != body.end() && member->is_string())
    number = service::ParseNumber<int64_t>(member->get<std::string>());
  if (!number || *number < INT32_MIN || *number > INT32_MAX) {
    throw BadInput("next_number",
                   "next_number must be a whole number from -2147483648 to 2147483647");
  }
  return std::to_string(*number);
}

void PutNumber(Exchange& exchange) {
  const RuleOwner owner = OwnerOf(exchange);
  const std::string number = NextNumberOf(BodyObject(exchange.request.body, {"next_number"}));
  DomainSession& session = exchange.worker.Session();
  OwnRule(session, owner);
  const std::string previous = ReadNextNumber(session.component(), owner);
  WriteNextNumber(session.component(), owner, number);
  WriteJson(exchange.response,
            {{"owner", FormatOwner(owner)}, {"next_number", number}, {"previous", previous}});
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
  const LineValues line = LineOf(item, body);
  DomainSession& session = exchange.worker.Session();
  try {
    Catalog(session).RequireKnown(owner);
  } catch (const ToolFailure& unknown) {
    throw NotFound(unknown.what());
  }
  json answer = {{"owner", FormatOwner(owner)}, {"item", item}, {"values", ValuesJson(line)}};
  answer.update(DraftJson(segments, EvaluateDraft(session, owner, segments, line)));
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

}  // namespace quillet::apps::serve
