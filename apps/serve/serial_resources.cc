// Serial numbers read back and drawn: what a serial number is (its rule,
// check characters and issue), and its barcode as SVG for labels.
#include <httplib.h>

#include <optional>
#include <string>

#include "apps/serve/json_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/worker.h"
#include "quillet/label.h"

namespace quillet::serve {
namespace {

using nlohmann::json;

json FitJson(const SerialFit& fit) {
  json object = {
      {"owner", FormatOwner(fit.owner)},      {"rule", fit.rule},     {"prefix", fit.prefix},
      {"running_number", fit.running_number}, {"digits", fit.digits}, {"suffix", fit.suffix},
      {"journaled", fit.journaled},           {"good", fit.Good()}};
  if (!fit.date_pattern.empty()) {
    object["date_part"] = fit.date_part;
    object["date_pattern"] = fit.date_pattern;
  }
  if (fit.check) {
    object["check"] = CheckMethodWord(*fit.check);
    object["check_right"] = fit.check_right;
  }
  if (fit.issue) {
    object["issued"] = {{"issued", fit.issue->issued},
                        {"item", fit.issue->item},
                        {"document_date", fit.issue->document_date},
                        {"user", fit.issue->user}};
  }
  return object;
}

void Verify(Exchange& exchange) {
  const SerialVerdict verdict = exchange.worker.Domain().Verify(exchange.Parameter("serial"));
  json fits = json::array();
  for (const SerialFit& fit : verdict.fits) fits.push_back(FitJson(fit));
  WriteJson(exchange.response,
            {{"serial_number", verdict.serial_number}, {"good", verdict.Good()}, {"fits", fits}});
}

LabelSymbology SymbologyOf(const httplib::Request& request) {
  if (!request.has_param("symbology")) return LabelSymbology::kCode128;
  const std::string word = request.get_param_value("symbology");
  const std::optional<LabelSymbology> symbology = LabelSymbologyOf(word);
  if (!symbology) {
    throw BadInput("symbology", "unknown symbology '" + word +
                                    "' (symbologies: " + std::string(LabelSymbologyWords()) + ")");
  }
  return *symbology;
}

// The same serial and symbology always draw the same symbol: caches may keep it.
void Barcode(Exchange& exchange) {
  const std::string& serial = exchange.Parameter("serial");
  const LabelSymbology symbology = SymbologyOf(exchange.request);
  std::string svg;
  try {
    svg = LabelSvg(serial, symbology);
  } catch (const Failure& refused) {
    if (refused.number() != errc::kNotEncodable) throw;
    throw Problem(422, refused.description(), "serial", refused.number())
        .With({{"symbology", LabelSymbologyWord(symbology)}});
  }
  exchange.response.set_header("Cache-Control", "public, max-age=86400, immutable");
  exchange.response.set_content(svg, "image/svg+xml");
}

}  // namespace

void AddSerialRoutes(Router& router) {
  router.Add({"GET", "/v1/serials/{serial}", Access::kRead, Verify});
  router.Add({"GET", "/v1/serials/{serial}/barcode.svg", Access::kRead, Barcode});
}

}  // namespace quillet::serve
