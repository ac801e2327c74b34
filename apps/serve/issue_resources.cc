// Issuing for a document line: the preview of an item's next serial number
// and the rule it comes from, and serial numbers issued (with saving, used
// up). An empty answer always says why, in "reason".
#include <httplib.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/catalog.h"
#include "apps/issue_diagnosis.h"
#include "apps/issuing.h"
#include "apps/line_values.h"
#include "apps/rule_parts.h"
#include "apps/rule_store.h"
#include "apps/serve/bearer_token.h"
#include "apps/serve/json_body.h"
#include "apps/serve/line_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/worker.h"
#include "apps/tool_error.h"

namespace quillet::apps::serve {
namespace {

using nlohmann::json;

json CheckedJson(const Resolution& resolution) {
  json checked = json::array();
  for (const RuleOwner& owner : resolution.checked) checked.push_back(FormatOwner(owner));
  return checked;
}

// The item, its values, and the owner and name of the rule that applies.
json Answer(DomainSession& session, const Resolution& resolution, const LineValues& line) {
  json answer = {{"item", line.item},
                 {"values", ValuesJson(line)},
                 {"checked", CheckedJson(resolution)},
                 {"owner", nullptr},
                 {"rule", nullptr}};
  if (resolution.found) {
    answer["owner"] = FormatOwner(*resolution.found);
    if (std::optional<Rule> rule = ReadRule(session.component(), *resolution.found)) {
      answer["rule"] = rule->name;
    }
  }
  return answer;
}

// Why no serial number came, as the tool says it; an item that exists
// nowhere is not found at all.
void AddReason(json& answer, Catalog& catalog, const std::string& item, const ToolFailure& why) {
  if (!catalog.Item(item) && answer["owner"].is_null()) throw NotFound(why.what());
  answer["reason"] = why.what();
  if (why.number()) answer["number"] = *why.number();
}

void Preview(Exchange& exchange) {
  const std::string& item = exchange.Parameter("item");
  const LineValues line = LineOf(item, BodyObject(exchange.request.body, {"date", "values"}));
  DomainSession& session = exchange.worker.Session();
  Catalog catalog(session);
  std::string cinvcode;
  std::string ignored;
  std::shared_ptr<XmlDocument> values = ValueDocument(line, std::nullopt);
  const std::shared_ptr<XmlDocument> parts =
      session.component().getSNrule(cinvcode, values, ignored);
  json answer = Answer(session, catalog.Resolve(item), line);
  if (parts->empty()) {
    answer["serial_number"] = "";
    try {
      ExplainNoSerialNumber(session, line, /*saving=*/false);
    } catch (const ToolFailure& why) {
      AddReason(answer, catalog, item, why);
    }
  } else {
    const RuleParts read = ReadParts(*parts);
    answer.update({{"prefix", read.prefix},
                   {"running_number", read.running},
                   {"suffix", read.suffix},
                   {"step", read.step},
                   {"stored_number", read.stored},
                   {"digits", read.digits},
                   {"serial_number", read.prefix + read.running + read.suffix}});
  }
  WriteJson(exchange.response, answer);
}

void Issue(Exchange& exchange) {
  const json body = BodyObject(exchange.request.body, {"date", "values", "count", "save"});
  const bool save = OptionalFlag(body, "save").value_or(false);
  // Saving uses numbers up: that changes data.
  if (save) RequireToken(exchange.request, exchange.config.token);
  const std::optional<int64_t> count = OptionalWhole(body, "count", 1, 32766);
  const std::string& item = exchange.Parameter("item");
  const LineValues line = LineOf(item, body);
  DomainSession& session = exchange.worker.Session();
  std::vector<std::string> serials;
  std::optional<ToolFailure> failure;
  try {
    serials = IssueSerialNumbers(
        session, line, count ? std::optional<int>(static_cast<int>(*count)) : std::nullopt, save);
  } catch (const ToolFailure& why) {
    failure = why;
  }
  Catalog catalog(session);
  json answer = Answer(session, catalog.Resolve(item), line);
  answer["serial_numbers"] = serials;
  answer["saved"] = save && !serials.empty();
  if (failure) AddReason(answer, catalog, item, *failure);
  WriteJson(exchange.response, answer);
}

}  // namespace

void AddIssueRoutes(Router& router) {
  router.Add({"POST", "/v1/items/{item}/preview", Access::kRead, Preview});
  router.Add({"POST", "/v1/items/{item}/serials", Access::kRead, Issue});
}

}  // namespace quillet::apps::serve
