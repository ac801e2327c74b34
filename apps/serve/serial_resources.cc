// Serial numbers read back and drawn: what a serial number is (its rule,
// check characters and issue), and its barcode as SVG for labels.
#include <httplib.h>

#include <optional>
#include <string>

#include "apps/cli/verdict_json.h"
#include "apps/serve/json_body.h"
#include "apps/serve/problem.h"
#include "apps/serve/resources.h"
#include "apps/serve/worker.h"
#include "quillet/label.h"

namespace quillet::serve {
namespace {

using nlohmann::json;

void Verify(Exchange& exchange) {
  const SerialVerdict verdict = exchange.worker.Domain().Verify(exchange.Parameter("serial"));
  WriteJson(exchange.response, cli::VerdictJson(verdict));
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
