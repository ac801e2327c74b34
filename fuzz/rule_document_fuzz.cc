// The rule document of a rule save: its rows read by position, the owner's
// name, and the bounds of the widths.
#include <string_view>

#include "maintenance/rule_document.h"
#include "quillet/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quillet::XmlDocument rule;
  if (!rule.loadXML(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  try {
    quillet::maintenance::ReadOwnerName(rule);
    const auto rows = quillet::maintenance::ReadRuleRows(rule);
    for (const auto& row : rows) quillet::maintenance::IsMappedSourceType(row.untrimmed_type);
    quillet::maintenance::RequireWidthsInRange(rows);
  } catch (const quillet::Error&) {
    // A refusal is an answer.
  }
  return 0;
}
