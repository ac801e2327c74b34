// Issuing for a document line: the preview of an item's next serial number
// and the rule it comes from, and serial numbers issued (with saving, used
// up). Both answer from one resolution of the item's rule; an answer
// without a serial number is a 422 problem saying why.
#include <httplib.h>

#include <optional>
#include <string>
#include <vector>

#include "apps/serve/json_body.h"
#include "apps/serve/line_body.h"
#include "apps/serve/metrics.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/roles.h"
#include "apps/serve/worker.h"

namespace quillet::serve {
namespace {

using nlohmann::json;

json OwnersJson(const std::vector<RuleOwner>& owners) {
  json list = json::array();
  for (const RuleOwner& owner : owners) list.push_back(FormatOwner(owner));
  return list;
}

// The item, its values, the rule that applies and what the issue warned of.
json Answer(const Line& line, const IssueOutcome& outcome) {
  json answer = {{"item", line.item},
                 {"values", ValuesJson(line)},
                 {"checked", OwnersJson(outcome.checked_owners)},
                 {"owner", outcome.owner ? json(FormatOwner(*outcome.owner)) : json(nullptr)},
                 {"rule", outcome.owner ? json(outcome.rule) : json(nullptr)}};
  if (!outcome.warnings.empty()) answer["warnings"] = outcome.warnings;
  return answer;
}

// Why no serial number came: an item that exists nowhere is not found at
// all; any other reason is a 422 carrying the answer's fields.
[[noreturn]] void RaiseNoSerialNumber(Exchange& exchange, const Line& line,
                                      const IssueOutcome& outcome) {
  const Reason& reason = *outcome.reason;
  if (!outcome.owner && !exchange.worker.Domain().FindItem(line.item)) {
    throw NotFound(reason.text, reason.number);
  }
  json members = Answer(line, outcome);
  members["reason"] = reason.text;
  throw Problem(422, reason.text, "", reason.number).With(std::move(members));
}

void Preview(Exchange& exchange) {
  const std::string& item = exchange.Parameter("item");
  const Line line = LineOf(item, BodyObject(exchange.request.body, {"date", "values"}));
  const PreviewResult preview = exchange.worker.Domain().Preview(line);
  if (preview.reason) RaiseNoSerialNumber(exchange, line, preview);
  json answer = Answer(line, preview);
  const RuleParts& parts = preview.parts;
  answer.update({{"prefix", parts.prefix},
                 {"running_number", parts.running_number},
                 {"suffix", parts.suffix},
                 {"step", parts.step},
                 {"stored_number", parts.stored_number},
                 {"digits", parts.digits},
                 {"serial_number", preview.serial_number}});
  if (!parts.check.empty()) answer["check"] = parts.check;
  WriteJson(exchange.response, answer);
}

// Who issues, for the journal of a rule that keeps one: the client's address.
std::string Issuer(const httplib::Request& request) { return "http " + request.remote_addr; }

void Issue(Exchange& exchange) {
  const json body = BodyObject(exchange.request.body, {"date", "values", "count", "save"});
  const bool save = OptionalFlag(body, "save").value_or(false);
  // Saving uses numbers up: that changes data.
  if (save) RequireRole(exchange.request, Role::kIssuer, exchange.config.tokens, false);
  const std::optional<int64_t> count = OptionalWhole(body, "count", 1, 32766);
  const Line line = LineOf(exchange.Parameter("item"), body);
  IssueRequest request{line.item,    line.date, line.values,
                       std::nullopt, save,      Issuer(exchange.request)};
  if (count) request.count = static_cast<int32_t>(*count);
  const IssueResult result = exchange.worker.Domain().Issue(request);
  if (result.reason) RaiseNoSerialNumber(exchange, line, result);
  if (result.saved && result.owner) {
    exchange.config.metrics->CountIssued(FormatOwner(*result.owner), result.serial_numbers.size());
  }
  json answer = Answer(line, result);
  answer["serial_numbers"] = result.serial_numbers;
  answer["saved"] = result.saved;
  WriteJson(exchange.response, answer);
}

}  // namespace

void AddIssueRoutes(Router& router) {
  router.Add({"POST", "/v1/items/{item}/preview", Access::kRead, Preview});
  router.Add({"POST", "/v1/items/{item}/serials", Access::kRead, Issue});
}

}  // namespace quillet::serve
