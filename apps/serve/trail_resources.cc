// The trail of rules and numbers: who changed an owner's rule or running
// number, when, from what to what; serial numbers voided; the numbers a
// journal-keeping rule skipped; rule files out and in.
#include <httplib.h>

#include <string>

#include "apps/cli/trail_json.h"
#include "apps/serve/json_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/worker.h"

namespace quillet::serve {
namespace {

RuleOwner OwnerOf(const Exchange& exchange) {
  try {
    return ParseOwner(exchange.Parameter("owner"));
  } catch (const Failure& bad) {
    throw BadInput("owner", bad.description());
  }
}

void GetHistory(Exchange& exchange) {
  const HistoryQuery query{OwnerOf(exchange), exchange.request.get_param_value("since")};
  WriteJson(exchange.response,
            {{"history", cli::HistoryJson(exchange.worker.Domain().History(query))}});
}

void GetGaps(Exchange& exchange) {
  const GapQuery query{OwnerOf(exchange), exchange.request.get_param_value("since")};
  WriteJson(exchange.response, {{"gaps", cli::GapsJson(exchange.worker.Domain().Gaps(query))}});
}

void VoidSerial(Exchange& exchange) {
  const nlohmann::json body = BodyObject(exchange.request.body, {"serial_number", "reason"});
  const VoidRequest request{RequiredText(body, "serial_number"), RequiredText(body, "reason"), {}};
  WriteJson(exchange.response, cli::VoidedJson(exchange.worker.Domain().VoidSerialNumber(request)),
            201);
}

bool Flag(const httplib::Request& request, const char* name) {
  if (!request.has_param(name)) return false;
  const std::string value = request.get_param_value(name);
  if (value == "true" || value == "1" || value.empty()) return true;
  if (value == "false" || value == "0") return false;
  throw BadInput(name, std::string(name) + " must be true or false");
}

// The rule file as its bytes: the owners given as `owner` parameters.
void ExportFile(Exchange& exchange, const httplib::Request& request) {
  ExportRequest asked{{}, Flag(request, "with_numbers"), Flag(request, "with_codes")};
  const std::size_t owners = request.get_param_value_count("owner");
  for (std::size_t i = 0; i < owners; ++i) {
    const std::string word = request.get_param_value("owner", i);
    try {
      asked.owners.push_back(ParseOwner(word));
    } catch (const Failure& bad) {
      throw BadInput("owner", bad.description());
    }
  }
  exchange.response.status = 200;
  exchange.response.set_content(exchange.worker.Domain().ExportRules(asked), "application/json");
}

void ImportFile(Exchange& exchange) {
  const ImportRequest request{exchange.request.body, Flag(exchange.request, "dry_run"),
                              Flag(exchange.request, "force")};
  WriteJson(exchange.response, cli::ImportJson(exchange.worker.Domain().ImportRules(request)));
}

}  // namespace

bool AnswerRuleExport(Exchange& exchange) {
  if (exchange.request.get_param_value("format") != "export") return false;
  ExportFile(exchange, exchange.request);
  return true;
}

void AddTrailRoutes(Router& router) {
  router.Add({"POST", "/v1/rules:import", Access::kWrite, ImportFile});
  router.Add({"GET", "/v1/rules/{owner}/history", Access::kRead, GetHistory});
  router.Add({"GET", "/v1/rules/{owner}/gaps", Access::kRead, GetGaps});
  router.Add({"POST", "/v1/journal/voids", Access::kWrite, VoidSerial});
}

}  // namespace quillet::serve
