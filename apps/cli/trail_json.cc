#include "apps/cli/trail_json.h"

#include <string>

namespace quillet::cli {
namespace {

// A stored form that does not read as JSON is given as its text.
nlohmann::json StoredForm(const std::string& text) {
  if (text.empty()) return nullptr;
  nlohmann::json form = nlohmann::json::parse(text, nullptr, false);
  return form.is_discarded() ? nlohmann::json(text) : form;
}

}  // namespace

nlohmann::json HistoryJson(const std::vector<HistoryEntry>& entries) {
  nlohmann::json list = nlohmann::json::array();
  for (const HistoryEntry& entry : entries) {
    list.push_back({{"changed", entry.changed},
                    {"user", entry.user},
                    {"owner", entry.owner ? nlohmann::json(FormatOwner(*entry.owner)) : nullptr},
                    {"kind", entry.kind},
                    {"before", StoredForm(entry.before)},
                    {"after", StoredForm(entry.after)}});
  }
  return list;
}

nlohmann::json VoidedJson(const VoidedSerial& voided) {
  return {
      {"serial_number", voided.serial_number},
      {"owner", FormatOwner(voided.owner)},
      {"running_number", voided.running_number ? nlohmann::json(*voided.running_number) : nullptr},
      {"voided", voided.voided},
      {"user", voided.user},
      {"reason", voided.reason}};
}

nlohmann::json GapsJson(const std::vector<NumberGap>& gaps) {
  nlohmann::json list = nlohmann::json::array();
  for (const NumberGap& gap : gaps) {
    list.push_back({{"counter", gap.counter},
                    {"running_number", gap.running_number},
                    {"reason", gap.reason},
                    {"detail", gap.detail}});
  }
  return list;
}

nlohmann::json ImportJson(const ImportResult& result) {
  nlohmann::json rules = nlohmann::json::array();
  for (const RuleFileChange& rule : result.rules) {
    rules.push_back({{"owner", FormatOwner(rule.owner)},
                     {"change", rule.change},
                     {"name", rule.name},
                     {"lines", rule.lines}});
  }
  return {{"applied", result.applied}, {"rules", rules}, {"codes", result.codes}};
}

}  // namespace quillet::cli
