// The rule history as the tool's --json and the service write it.
#ifndef QUILLET_APPS_CLI_TRAIL_JSON_H_
#define QUILLET_APPS_CLI_TRAIL_JSON_H_

#include <nlohmann/json.hpp>
#include <vector>

#include "quillet/numbering.h"

namespace quillet::cli {

// A list of {changed, user, owner (word or null), kind, before, after}, the
// before and after as the JSON objects they hold (null for none).
nlohmann::json HistoryJson(const std::vector<HistoryEntry>& entries);

// {serial_number, owner, running_number, voided, user, reason}.
nlohmann::json VoidedJson(const VoidedSerial& voided);

// A list of {counter, running_number, reason, detail}.
nlohmann::json GapsJson(const std::vector<NumberGap>& gaps);

// {applied, rules: [{owner, change, name, lines}], codes: [line]}.
nlohmann::json ImportJson(const ImportResult& result);

}  // namespace quillet::cli

#endif  // QUILLET_APPS_CLI_TRAIL_JSON_H_
