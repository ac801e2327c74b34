#include "generation/issue_facts.h"

#include <algorithm>

#include "core/field_text.h"
#include "core/utf8.h"
#include "core/value_document.h"
#include "generation/graded_code.h"
#include "store/database_error.h"
#include "store/policy_queries.h"
#include "store/rule_queries.h"

namespace quillet::generation {
namespace {

namespace queries = store::generation;

// Columns of the facts' rows.
enum FactColumn : std::size_t {
  kKind = 0,
  kRuleName = 1,
  kCode = 2,
  kType = 3,
  kGrade = 4,
  kSourceType = 5,
  kFormat = 6,
  kWidth = 7,
  kPatch = 8,
  kStep = 10,
};

std::optional<std::string> ValueOfRow(const XmlDocument& values, int type) {
  const std::optional<XmlNode> row = RowOfType(values, type);
  if (!row) return std::nullopt;
  return row->getAttribute("value");
}

std::string TextOf(const Variant& field) { return field.IsNull() ? std::string() : field.ToText(); }

double GradeOf(const std::vector<Variant>& row) {
  return row[kGrade].IsNull() ? 0.0 : row[kGrade].ToDouble();
}

bool IsOwner(const std::vector<Variant>& row, const RuleOwner& owner) {
  return !row[kCode].IsNull() && row[kCode].ToText() == owner.code &&
         TextOf(row[kType]) == owner.KindText();
}

}  // namespace

IssueFacts::IssueFacts(store::Connection& db, const std::string& item_code,
                       const XmlDocument& values)
    : item_code_(item_code), department_(ValueOfRow(values, 2)) {
  for (int type = 3; type <= 6; ++type) source_values_.push_back(ValueOfRow(values, type));
  queries::IssueFactsAsked asked{item_code_, department_, source_values_, true};
  try {
    facts_ = queries::IssueFacts(db, asked);
  } catch (const Error& error) {
    // A database made before there were policies has no policy table.
    if (!store::IsMissingTable(error) || db.InTransaction()) throw;
    asked.with_policies = with_policies_ = false;
    facts_ = queries::IssueFacts(db, asked);
  }
}

std::shared_ptr<RecordSet> IssueFacts::Rows(
    int32_t kind, const std::optional<RuleOwner>& owner,
    const std::vector<std::pair<std::size_t, std::string>>& picked) const {
  std::vector<Column> columns;
  for (const auto& [at, name] : picked) columns.push_back({name, facts_->columns()[at].type});
  std::vector<const std::vector<Variant>*> found;
  for (const auto& row : facts_->rows()) {
    if (row[kKind].ToInt32() == kind && (!owner || IsOwner(row, *owner))) found.push_back(&row);
  }
  // The read leaves the order of its rows to the reader: segments go by igrade.
  if (kind == queries::kSegmentFact) {
    std::stable_sort(found.begin(), found.end(),
                     [](const auto* a, const auto* b) { return GradeOf(*a) < GradeOf(*b); });
  }
  std::vector<std::vector<Variant>> rows;
  for (const auto* row : found) {
    std::vector<Variant> values;
    for (const auto& [at, name] : picked) values.push_back((*row)[at]);
    rows.push_back(std::move(values));
  }
  return std::make_shared<RecordSet>(std::move(columns), std::move(rows));
}

bool IssueFacts::HasHeader(const RuleOwner& owner) const {
  return Rows(queries::kHeaderFact, owner, {})->RecordCount() > 0;
}

std::optional<RuleOwner> IssueFacts::Owner() const {
  // The facts in the shape of the owner query: (kind, code, grade).
  std::vector<std::vector<Variant>> rows;
  const auto add = [&](int32_t kind, const Variant& code, const Variant& grade) {
    rows.push_back({Variant(kind), code, grade});
  };
  for (const auto& row : facts_->rows()) {
    const int32_t kind = row[kKind].ToInt32();
    if (kind == queries::kClassFact) add(queries::kClassFact, row[kCode], row[kFormat]);
    if (kind == queries::kRuleFact) add(queries::kRuleFact, row[kFormat], Variant::Null());
    if (kind != queries::kHeaderFact) continue;
    const std::string type = TextOf(row[kType]);
    const int32_t fact = type == "1"   ? queries::kOwnFact
                         : type == "0" ? queries::kAncestryFact
                                       : queries::kAllFact;
    add(fact, row[kCode], Variant::Null());
  }
  return OwnerOfFacts(RecordSet({{"kind"}, {"code"}, {"grade"}}, std::move(rows)), item_code_);
}

RuleSearch IssueFacts::Search() const {
  SearchSources sources;
  sources.has_header = [this](const RuleOwner& owner) { return HasHeader(owner); };
  sources.item_class = [this] {
    return Rows(queries::kClassFact, std::nullopt, {{kCode, "cinvccode"}, {kFormat, "iinvcgrade"}});
  };
  sources.class_coding_rule = [this] {
    return Rows(queries::kRuleFact, std::nullopt, {{kFormat, "CODINGRULE"}});
  };
  return SearchRuleIn(sources, item_code_);
}

std::optional<NumberingPolicy> IssueFacts::Policy(const RuleOwner& owner) const {
  if (!with_policies_) return std::nullopt;
  const auto rows = Rows(queries::kPolicyFact, owner,
                         {{kRuleName, "crestart"},
                          {kGrade, "iend"},
                          {kWidth, "iwarn"},
                          {kSourceType, "bjournal"},
                          {kFormat, "ccheck"},
                          {kStep, "bunique"}});
  if (rows->RecordCount() == 0) return std::nullopt;
  return store::policy::PolicyOfRow(*rows);
}

std::shared_ptr<RecordSet> IssueFacts::Segments(const RuleOwner& owner) const {
  return Rows(queries::kSegmentFact, owner,
              {{1, "crulename"},
               {2, "cinvcode"},
               {3, "cinvtype"},
               {4, "igrade"},
               {5, "cdatasrctype"},
               {6, "cdatasrcformat"},
               {7, "iformatlength"},
               {8, "cpatchsign"},
               {9, "creplacesign"},
               {10, "isteplength"}});
}

std::shared_ptr<RecordSet> IssueFacts::HeaderNumber(const RuleOwner& owner) const {
  return Rows(queries::kHeaderFact, owner, {{kFormat, "cnumber"}});
}

std::string IssueFacts::RuleName(const RuleOwner& owner) const {
  const auto rows = Rows(queries::kHeaderFact, owner, {{kRuleName, "rulename"}});
  return rows->RecordCount() == 0 ? std::string() : FieldTextOrEmpty(rows->Field("rulename"));
}

std::optional<std::string> IssueFacts::GradedCode(const std::string& code, const std::string& kind,
                                                  const std::string& grade) const {
  GradedCodeSources sources;
  if (kind == kInventoryClassKind && code == item_code_) {
    sources.own_row = [this] {
      return Rows(queries::kClassFact, std::nullopt,
                  {{kCode, "cinvccode"}, {kFormat, "iinvcgrade"}});
    };
    sources.coding_rule = [this] {
      return Rows(queries::kRuleFact, std::nullopt, {{kFormat, "CODINGRULE"}});
    };
  } else if (kind == kDepartmentKind && department_ && code == *department_) {
    sources.own_row = [this] {
      return Rows(queries::kDepartmentFact, std::nullopt, {{kGrade, "iDepGrade"}});
    };
    sources.coding_rule = [this] {
      return Rows(queries::kDepartmentRuleFact, std::nullopt, {{kFormat, "CODINGRULE"}});
    };
  } else {
    return std::nullopt;
  }
  return GradedCodeOf(sources, code, kind, grade);
}

std::optional<std::string> IssueFacts::MappedCode(const std::string& type,
                                                  const std::string& value) const {
  bool read = false;
  if (type == "3" || type == "4" || type == "5" || type == "6") {
    read = source_values_[static_cast<std::size_t>(type[0] - '3')] == value;
  } else if (type == "8") {
    read = value == item_code_;
  } else if (type == "2" || type == "7") {
    std::optional<std::string> code = department_;
    if (type == "7") {
      const auto item_class = Rows(queries::kClassFact, std::nullopt, {{kCode, "cinvccode"}});
      code = item_class->RecordCount() > 0 ? std::optional(TextOf(item_class->Field(0)))
                                           : std::nullopt;
    }
    read = code && !value.empty() && code->starts_with(value) &&
           utf8::Length(value) <= queries::kLongestGradedSeed;
  }
  if (!read) return std::nullopt;
  for (const auto& row : facts_->rows()) {
    if (row[kKind].ToInt32() != queries::kMappedFact) continue;
    if (TextOf(row[kCode]) == type && TextOf(row[kFormat]) == value) {
      return FieldTextOrEmpty(row[kPatch]);
    }
  }
  return std::string();
}

}  // namespace quillet::generation
