// One serial number from an item's rule.
#ifndef QUILLET_GENERATION_SINGLE_ISSUE_H_
#define QUILLET_GENERATION_SINGLE_ISSUE_H_

#include <memory>
#include <string>

#include "generation/issue_call.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

// The serial number of the value document's item under its rule; with
// `save`, the stored running number (or the policy's counter) advances by
// the rule's step in the same transaction that read it. Never throws: every
// failure is the empty number, and a number saved before the failure stays
// saved. A policy's refusal and warnings are in the notes. Thread safety:
// that of the connection; concurrent issues on other connections never give
// the same number.
// With IssueGuard::kRefuseLoss a running number past its digits is refused
// (errc::kWouldWrap in the notes) before anything is saved.
Issued<std::string> IssueNumber(store::Connection& db, const std::shared_ptr<XmlDocument>& values,
                                bool save, const UserNameSource& user,
                                IssueGuard guard = IssueGuard::kNone);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_SINGLE_ISSUE_H_
