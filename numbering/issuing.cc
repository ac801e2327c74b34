#include "numbering/issuing.h"

#include <memory>
#include <optional>
#include <vector>

#include "core/check_character.h"
#include "generation/batch_issue.h"
#include "generation/empty_issue.h"
#include "generation/line_entry.h"
#include "generation/policy_issue.h"
#include "generation/rule_parts.h"
#include "generation/rule_search.h"
#include "generation/single_issue.h"
#include "maintenance/rule_lookup.h"
#include "numbering/catalog.h"
#include "numbering/line_document.h"

namespace quillet::numbering {
namespace {

constexpr int32_t kLargestBatch = 32766;
// Unlike the old class, an issue here never hands out a repeated number nor
// uses numbers up without handing them out.
constexpr generation::IssueGuard kGuard = generation::IssueGuard::kRefuseLoss;

generation::UserNameSource UserOf(const Session& session, const std::string& user) {
  return [&session, user] { return user.empty() ? session.options().user : user; };
}

ValueRequest AskForValue(const Session& session) {
  if (session.options().ask_for_value) {
    return [&session](const std::string& source, int) {
      return session.options().ask_for_value(source);
    };
  }
  return [](const std::string& source, int) { return "give the line a value for " + source; };
}

// The owner, name and checked owners of the issue's own search; the search
// is made here only when the issue failed before it read the rule.
template <typename Issued>
void TakeResolution(Session& session, const Issued& issued, const std::string& item,
                    IssueOutcome& outcome) {
  if (!issued.search.checked.empty()) {
    outcome.checked_owners = issued.search.checked;
    outcome.owner = issued.search.found;
    if (outcome.owner) outcome.rule = issued.rule_name;
    return;
  }
  const generation::RuleSearch found = generation::SearchRule(session.db(), item);
  outcome.checked_owners = found.checked;
  outcome.owner = found.found;
  if (outcome.owner) outcome.rule = maintenance::RuleName(session.db(), *outcome.owner);
}

// Why the line gave nothing: the issue's own message or refusal, else the
// cause looked for on the database.
Reason ReasonFor(Session& session, const XmlDocument& values, bool saving, const IssueNotes& notes,
                 const std::optional<std::string>& message) {
  if (notes.refusal) return {notes.refusal->description(), notes.refusal->number()};
  if (message && !message->empty()) return {*message, std::nullopt};
  const EmptyIssueReason reason = generation::ExplainEmptyIssue(session.db(), values, saving,
                                                                std::nullopt, AskForValue(session));
  return {reason.text, reason.number};
}

// The serial numbers of a batch's list; none when an entry is empty (the
// list a failed batch answers).
std::vector<std::string> SerialsOf(const XmlDocument& list) {
  std::vector<std::string> serials;
  for (const XmlNode& entry : list.selectNodes("/SN/R")) {
    std::string serial = entry.getAttribute("sn").value_or("");
    if (serial.empty()) return {};
    serials.push_back(std::move(serial));
  }
  return serials;
}

template <typename Issued>
IssueResult ResultOf(Session& session, Issued issued, std::vector<std::string> serials,
                     const std::string& item, const XmlDocument& values, bool save,
                     const std::optional<std::string>& message = std::nullopt) {
  IssueResult result;
  TakeResolution(session, issued, item, result);
  result.serial_numbers = std::move(serials);
  if (result.serial_numbers.empty()) {
    result.reason = ReasonFor(session, values, save, issued.notes, message);
  } else {
    result.warnings = std::move(issued.notes.warnings);
    result.saved = save;
  }
  return result;
}

// The check characters the owner's policy appends to `serial`, if any.
std::string CheckOf(Session& session, const std::optional<RuleOwner>& owner,
                    const std::string& serial) {
  if (!owner) return {};
  const std::optional<NumberingPolicy> policy = generation::PolicyOf(session.db(), *owner);
  return policy && policy->check ? CheckCharacters(*policy->check, serial) : std::string();
}

std::vector<std::string> SingleSerial(const std::string& serial) {
  if (serial.empty()) return {};
  return {serial};
}

}  // namespace

IssueResult Issue(Session& session, const IssueRequest& request) {
  if (request.count && (*request.count < 1 || *request.count > kLargestBatch)) {
    RaiseBadRequest("count " + std::to_string(*request.count) + " is outside 1 to " +
                    std::to_string(kLargestBatch));
  }
  const std::shared_ptr<XmlDocument> values = ValueDocument(
      request.item, LineValuesByType({request.item, request.date, request.values}), request.count);
  const generation::UserNameSource user = UserOf(session, request.user);
  if (!request.count) {
    generation::Issued<std::string> issued =
        generation::IssueNumber(session.db(), values, request.save, user, kGuard);
    std::vector<std::string> serials = SingleSerial(issued.value);
    return ResultOf(session, std::move(issued), std::move(serials), request.item, *values,
                    request.save);
  }
  generation::IssuedBatch batch =
      generation::IssueBatch(session.db(), values, request.save, user, kGuard);
  std::vector<std::string> serials = SerialsOf(*batch.value);
  const std::optional<std::string> message = batch.error;
  return ResultOf(session, std::move(batch), std::move(serials), request.item, *values,
                  request.save, message);
}

IssueResult IssueForDocumentLine(Session& session, const DocumentLineRequest& request) {
  const std::shared_ptr<XmlDocument> values =
      generation::LineValueDocument(request.item, request.head, request.body, request.voucher_type);
  generation::Issued<std::string> issued = generation::IssueNumber(
      session.db(), values, request.save, UserOf(session, request.user), kGuard);
  std::vector<std::string> serials = SingleSerial(issued.value);
  return ResultOf(session, std::move(issued), std::move(serials), request.item, *values,
                  request.save);
}

PreviewResult Preview(Session& session, const Line& line) {
  const std::shared_ptr<XmlDocument> values = ValueDocument(line.item, LineValuesByType(line));
  generation::Issued<std::shared_ptr<XmlDocument>> parts =
      generation::ReadRuleParts(session.db(), values);
  PreviewResult preview;
  TakeResolution(session, parts, line.item, preview);
  if (parts.value->empty()) {
    preview.reason = ReasonFor(session, *values, false, parts.notes, std::nullopt);
    return preview;
  }
  const XmlNode root = *parts.value->documentElement();
  const auto attribute = [&](const char* name) { return root.getAttribute(name).value_or(""); };
  preview.parts = {attribute("前缀"), attribute("流水"),     attribute("后缀"),
                   attribute("步长"), attribute("最大流水"), attribute("流水位数")};
  preview.serial_number =
      preview.parts.prefix + preview.parts.running_number + preview.parts.suffix;
  preview.parts.check = CheckOf(session, preview.owner, preview.serial_number);
  preview.serial_number += preview.parts.check;
  preview.warnings = std::move(parts.notes.warnings);
  return preview;
}

RuleResolution Resolve(Session& session, const std::string& item) {
  if (!ItemOf(session, item)) {
    RaiseNotFound("there is no item " + item + " in the inventory", errc::kUnknownOwner);
  }
  const generation::RuleSearch search = generation::SearchRule(session.db(), item);
  return {search.found, search.checked, search.stopped};
}

}  // namespace quillet::numbering
