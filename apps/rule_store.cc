#include "apps/rule_store.h"

#include "apps/tool_error.h"
#include "core/field_text.h"
#include "generation/policy_lookup.h"
#include "quillet/recordset.h"

namespace quillet::apps {
namespace {

int32_t NumberOf(const Variant& field) { return field.IsNull() ? 0 : field.ToInt32(); }

// The segment of the current row; the columns of SNrule follow those of
// SNrulemain, found by name (the first of a name is the header's).
Segment SegmentOf(const RecordSet& row) {
  Segment segment;
  segment.type = NumberOf(row.Field("cdatasrctype"));
  segment.format = FieldTextOrEmpty(row.Field("cdatasrcformat"));
  segment.width = NumberOf(row.Field("iformatlength"));
  segment.pad = FieldTextOrEmpty(row.Field("cpatchsign"));
  segment.fill = FieldTextOrEmpty(row.Field("creplacesign"));
  segment.step = NumberOf(row.Field("isteplength"));
  return segment;
}

void SetPolicyAttributes(XmlNode& row, const NumberingPolicy& policy) {
  if (policy.restart != Restart::kNever) {
    row.setAttribute("restart", std::string(RestartWord(policy.restart)));
  }
  if (policy.end) row.setAttribute("end", std::to_string(*policy.end));
  if (policy.warn) row.setAttribute("warn", std::to_string(*policy.warn));
  if (policy.journal) row.setAttribute("journal", "yes");
  if (policy.unique) row.setAttribute("unique", "yes");
}

}  // namespace

std::string NextNumberText(const Rule& rule, const std::string& none) {
  for (const Segment& segment : rule.segments) {
    if (segment.type != source::kNumber || segment.policy.restart == Restart::kNever) continue;
    const Restart restart = segment.policy.restart;
    return "from " + segment.format +
           (restart == Restart::kPrefix ? " for each prefix"
                                        : " every " + std::string(RestartWord(restart)));
  }
  return rule.next_number.empty() ? none : rule.next_number;
}

std::optional<Rule> ReadRuleWithPolicy(DomainSession& session, const RuleOwner& owner) {
  std::optional<Rule> rule = ReadRule(session.component(), owner);
  if (!rule) return rule;
  const std::optional<NumberingPolicy> policy =
      generation::OwnerPolicy(session.reader(), {owner.code, owner.kind});
  if (!policy) return rule;
  for (Segment& segment : rule->segments) {
    if (segment.type == source::kNumber) segment.policy = *policy;
  }
  return rule;
}

std::optional<Rule> ReadRule(clsQuillet& component, const RuleOwner& owner) {
  Variant value;
  std::string ignored;
  component.GetInvBatchRulesrv(owner.code, value, owner.KindNumber(), ignored);
  const std::shared_ptr<RecordSet> rows = value.record_set();
  if (!rows || (rows->Bof() && rows->Eof())) return std::nullopt;
  Rule rule;
  rule.owner = owner;
  rule.owner_name = FieldTextOrEmpty(rows->Field("cinvname"));
  rule.name = FieldTextOrEmpty(rows->Field("rulename"));
  rule.next_number = FieldTextOrEmpty(rows->Field("cnumber"));
  // A header without segments comes as one row whose segment columns are null.
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    if (!rows->Field("cdatasrctype").IsNull()) rule.segments.push_back(SegmentOf(*rows));
  }
  return rule;
}

std::shared_ptr<XmlDocument> RuleDocument(const std::string& owner_name,
                                          const std::vector<Segment>& segments) {
  auto document = std::make_shared<XmlDocument>();
  document->loadXML("<rule/>");
  XmlNode root = *document->documentElement();
  root.setAttribute("cinvname", owner_name);
  int grade = 0;
  for (const Segment& segment : segments) {
    XmlNode row = root.appendElement("row");
    row.setAttribute("igrade", std::to_string(++grade));
    row.setAttribute("cdatasrctype", std::to_string(segment.type));
    row.setAttribute("cdatasrcformat", segment.format);
    row.setAttribute("iformatlength", std::to_string(segment.width));
    row.setAttribute("cpatchsign", segment.pad);
    row.setAttribute("creplacesign", segment.fill);
    row.setAttribute("isteplength", std::to_string(segment.step));
    if (segment.type == source::kNumber) SetPolicyAttributes(row, segment.policy);
  }
  return document;
}

void SaveRule(clsQuillet& component, const Rule& rule) {
  std::string message;
  component.SaveSNRulesrv(RuleDocument(rule.owner_name, rule.segments), rule.owner.code,
                          rule.owner.KindNumber(), rule.name, message);
  if (!message.empty()) throw ToolFailure(message);
}

void DeleteRule(clsQuillet& component, const Rule& rule) {
  std::string ignored;
  component.DelSNRulesrv(rule.owner.code, rule.owner.KindNumber(), rule.name, ignored);
}

std::string ReadNextNumber(clsQuillet& component, const RuleOwner& owner) {
  Variant number;
  std::string ignored;
  component.GetmaxNumbersrv(owner.code, number, owner.KindNumber(), ignored);
  return FieldTextOrEmpty(number);
}

void WriteNextNumber(clsQuillet& component, const RuleOwner& owner, const std::string& number) {
  Variant value(number);
  std::string ignored;
  component.SavemaxNumbersrv(owner.code, value, owner.KindNumber(), ignored);
}

}  // namespace quillet::apps
