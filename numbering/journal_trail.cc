#include "numbering/journal_trail.h"

#include <algorithm>

#include "core/number_text.h"
#include "maintenance/journal_gaps.h"
#include "maintenance/voided_serial.h"
#include "numbering/catalog.h"
#include "numbering/history.h"
#include "store/database_error.h"

namespace quillet::numbering {
namespace {

VoidedSerial VoidedOf(const store::voided::VoidRow& row) {
  const std::optional<int16_t> kind = service::ParseNumber<int16_t>(row.owner_type);
  return {row.serial, RuleOwner::FromNumber(row.owner_code, kind.value_or(-1)),
          row.number, row.voided,
          row.user,   row.reason};
}

// A counter's key as people read it: a prefix's two parts joined by "…".
std::string Shown(std::string key) {
  const std::size_t at = key.find('\x1f');
  if (at != std::string::npos) key.replace(at, 1, "\u2026");
  return key;
}

}  // namespace

VoidedSerial VoidSerialNumber(Session& session, const VoidRequest& request) {
  if (request.serial_number.empty()) RaiseBadRequest("give the serial number to void");
  if (request.reason.empty()) {
    RaiseBadRequest("give the reason " + request.serial_number + " is voided");
  }
  const std::string& user = request.user.empty() ? session.options().user : request.user;
  maintenance::VoidOutcome outcome;
  try {
    outcome = maintenance::VoidSerial(session.db(), request.serial_number, request.reason, user);
  } catch (const Error& error) {
    if (!store::IsMissingTable(error)) throw;
    RaiseNotFound("the database " + session.connection_string() +
                  " has no journal of voided numbers yet: create its tables again");
  }
  using Kind = maintenance::VoidOutcome::Kind;
  if (outcome.kind == Kind::kNotInJournal) {
    RaiseNotFound("the journal holds no serial number " + request.serial_number +
                  ": only numbers issued with saving by a rule that keeps a journal can be "
                  "voided");
  }
  if (outcome.kind == Kind::kVoidedBefore) {
    const store::voided::VoidRow& row = outcome.row;
    throw Failure(FailureKind::kConflict, errc::kVoidedBefore,
                  request.serial_number + " was voided already by " +
                      (row.user.empty() ? "(unknown)" : row.user) + " at " + row.voided + ": " +
                      row.reason);
  }
  return VoidedOf(outcome.row);
}

std::vector<NumberGap> Gaps(Session& session, const GapQuery& query) {
  const std::optional<std::string> since = SinceTime(query.since);
  RequireRule(session, query.owner);
  std::optional<std::vector<maintenance::GapRow>> rows;
  try {
    rows = maintenance::JournalGaps(session.reader(), query.owner, since);
  } catch (const Error& error) {
    if (!store::IsMissingTable(error)) throw;
    RaiseNotFound("the database " + session.connection_string() +
                  " has no journal of voided numbers yet: create its tables again");
  }
  if (!rows) {
    RaiseBadRequest("the rule of " + FormatOwner(query.owner) +
                    " keeps no journal of a running number: save its number segment with "
                    "journal=yes first");
  }
  std::vector<NumberGap> gaps;
  gaps.reserve(rows->size());
  for (maintenance::GapRow& row : *rows) {
    gaps.push_back({Shown(row.key), row.number, std::move(row.reason), std::move(row.detail)});
  }
  return gaps;
}

}  // namespace quillet::numbering
