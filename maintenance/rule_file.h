// Rule files: every rule (or some owners' rules) with their policies,
// optionally their running numbers and the users' mapping codes, as one JSON
// document; and applying such a file in one transaction.
#ifndef QUILLET_MAINTENANCE_RULE_FILE_H_
#define QUILLET_MAINTENANCE_RULE_FILE_H_

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "quillet/owner.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::maintenance {

// The form's version, written as the value of its first key.
inline constexpr const char* kRuleFileKey = "quillet_rules";
inline constexpr int kRuleFileVersion = 1;

// The owners with rules, items' first, then classes', then all's, each by
// code.
std::vector<RuleOwner> RuleOwnersInOrder(store::Connection& db);

// The rule file of `owners` (every owner with a rule when empty): the
// version, the owners asked (only when some were), the rules (RuleEntry),
// and with `with_codes` the users' mapping codes ({source, archive,
// content_type, width, value, code} by archive and value). Raises the
// database's errors.
nlohmann::ordered_json ExportRuleFile(store::Connection& db, const std::vector<RuleOwner>& owners,
                                      bool with_numbers, bool with_codes);

// What applying a file writes.
struct ImportRule {
  RuleOwner owner;
  std::string name;
  std::shared_ptr<XmlDocument> document;   // as SaveRule takes it
  std::optional<std::string> next_number;  // set when the file gives it
  std::vector<std::pair<std::string, int32_t>> counters;
};

struct ImportCode {
  std::string source_code;
  std::string table;
  std::string content_type;
  std::string width;
  std::string value;
  std::string code;
};

struct ImportPlan {
  // Without it, a running number or counter the file would set below the
  // stored one, read again under the transaction's lock, is refused.
  bool force = false;
  std::vector<RuleOwner> removed;
  std::vector<ImportRule> rules;  // only those that change
  std::vector<ImportCode> codes;  // only those that change
};

// Applies the plan in one transaction on a write connection: removes the
// rules, saves the others (each keeps its running number unless the plan
// sets it), sets the numbers and counters and the users' codes, and records
// each change in the rule history by `user`; then regenerates the mappings
// of the mapped data sources the saved rules use (those the database
// describes). Raises the errors of
// WriteRuleDocument and the database's, and Error errc::kGuarded for a
// number set back without `force` (one issued since the plan was made),
// having changed nothing.
void ApplyImport(store::Connection& db, const ImportPlan& plan, const std::string& user);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_RULE_FILE_H_
