// What a serial number is, as `quillet verify --json` and the service write it.
#ifndef QUILLET_APPS_CLI_VERDICT_JSON_H_
#define QUILLET_APPS_CLI_VERDICT_JSON_H_

#include <nlohmann/json.hpp>

#include "quillet/numbering.h"

namespace quillet::cli {

// {serial_number, good, fits: [{owner, rule, prefix, running_number, digits,
// suffix, journaled, good, and date_part/date_pattern, check/check_right,
// issued where there are such}]}.
nlohmann::json VerdictJson(const SerialVerdict& verdict);

}  // namespace quillet::cli

#endif  // QUILLET_APPS_CLI_VERDICT_JSON_H_
