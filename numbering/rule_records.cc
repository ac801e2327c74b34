#include "numbering/rule_records.h"

#include "core/field_text.h"
#include "generation/policy_issue.h"
#include "maintenance/rule_lookup.h"
#include "numbering/catalog.h"
#include "store/database_error.h"

namespace quillet::numbering {
namespace {

int32_t NumberOf(const Variant& field) { return field.IsNull() ? 0 : field.ToInt32(); }

// The segment of the current row; the columns of SNrule follow those of
// SNrulemain, found by name (the first of a name is the header's).
Segment SegmentOf(const RecordSet& row) {
  Segment segment;
  segment.source = static_cast<DataSource>(NumberOf(row.Field("cdatasrctype")));
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
  if (policy.check) row.setAttribute("check", std::string(CheckMethodWord(*policy.check)));
}

}  // namespace

std::optional<Rule> ReadRule(Session& session, const RuleOwner& owner) {
  const std::shared_ptr<RecordSet> rows = maintenance::OwnerRule(session.db(), owner);
  if (rows->Bof() && rows->Eof()) return std::nullopt;
  Rule rule;
  rule.owner = owner;
  rule.owner_name = FieldTextOrEmpty(rows->Field("cinvname"));
  rule.name = FieldTextOrEmpty(rows->Field("rulename"));
  rule.next_number = FieldTextOrEmpty(rows->Field("cnumber"));
  // A header without segments comes as one row whose segment columns are null.
  for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
    if (!rows->Field("cdatasrctype").IsNull()) rule.segments.push_back(SegmentOf(*rows));
  }
  const std::optional<NumberingPolicy> policy = generation::PolicyOf(session.db(), owner);
  if (!policy) return rule;
  for (Segment& segment : rule.segments) {
    if (segment.source == DataSource::kRunningNumber) segment.policy = *policy;
  }
  return rule;
}

RuleList ReadRules(Session& session) {
  RuleList list;
  for (const RuleHeader& header : RuleHeaders(session)) {
    try {
      if (std::optional<Rule> rule = ReadRule(session, header.owner)) {
        list.rules.push_back(*std::move(rule));
      }
    } catch (const store::DatabaseFailure&) {
      throw;
    } catch (const Error& unreadable) {
      list.unreadable.push_back(
          {header.owner, header.name,
           "a stored value of the rule cannot be read: " + unreadable.description() + " (error " +
               std::to_string(unreadable.number()) + ")"});
    }
  }
  return list;
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
    row.setAttribute("cdatasrctype", std::to_string(static_cast<int>(segment.source)));
    row.setAttribute("cdatasrcformat", segment.format);
    row.setAttribute("iformatlength", std::to_string(segment.width));
    row.setAttribute("cpatchsign", segment.pad);
    row.setAttribute("creplacesign", segment.fill);
    row.setAttribute("isteplength", std::to_string(segment.step));
    if (segment.source == DataSource::kRunningNumber) SetPolicyAttributes(row, segment.policy);
  }
  return document;
}

}  // namespace quillet::numbering
