#include "apps/cli/verdict_json.h"

namespace quillet::cli {
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

}  // namespace

json VerdictJson(const SerialVerdict& verdict) {
  json fits = json::array();
  for (const SerialFit& fit : verdict.fits) fits.push_back(FitJson(fit));
  return {{"serial_number", verdict.serial_number}, {"good", verdict.Good()}, {"fits", fits}};
}

}  // namespace quillet::cli
