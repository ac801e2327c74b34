#include "numbering/verification.h"

#include "core/text_check.h"
#include "generation/policy_lookup.h"
#include "numbering/rule_records.h"
#include "numbering/serial_pattern.h"
#include "quillet/label.h"

namespace quillet::numbering {
namespace {

void RequireSerialText(const std::string& serial) {
  if (serial.empty()) RaiseBadRequest("the serial number is empty");
  if (serial.size() > kMaxLabelTextBytes) {
    throw Failure(FailureKind::kInvalidRequest, errc::kRequestTooLarge,
                  "the serial number is " + std::to_string(serial.size()) +
                      " bytes long; at most " + std::to_string(kMaxLabelTextBytes) + " are read");
  }
  RequireValidText(serial, "the serial number");
}

// The journal's record of `serial` by the fit's owner; none when the
// database has no journal.
std::optional<SerialFit::Issue> RecordedIssue(Session& session, const SerialFit& fit,
                                              const std::string& serial) {
  std::optional<generation::JournalEntry> entry;
  try {
    entry = generation::FirstIssue(session.reader(), serial);
  } catch (const Error& error) {
    if (!generation::IsMissingTable(error)) throw;
  }
  if (!entry || entry->owner_code != fit.owner.code || entry->owner_type != fit.owner.KindText()) {
    return std::nullopt;
  }
  return SerialFit::Issue{entry->issued, entry->item, entry->document_date, entry->user};
}

}  // namespace

SerialVerdict VerifySerial(Session& session, const std::string& serial) {
  RequireSerialText(serial);
  SerialVerdict verdict;
  verdict.serial_number = serial;
  const RuleList stored = ReadRules(session);
  for (const Rule& rule : stored.rules) {
    std::optional<SerialFit> fit = FitSerial(rule, serial);
    if (!fit) continue;
    fit->journaled = rule.policy().Journals();
    if (fit->journaled) fit->issue = RecordedIssue(session, *fit, serial);
    verdict.fits.push_back(*std::move(fit));
  }
  return verdict;
}

}  // namespace quillet::numbering
