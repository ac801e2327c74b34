// Consecutive serial numbers from one evaluation of an item's rule.
#ifndef QUILLET_GENERATION_BATCH_ISSUE_H_
#define QUILLET_GENERATION_BATCH_ISSUE_H_

#include <memory>
#include <optional>
#include <string>

#include "generation/issue_call.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::generation {

// A batch's serial list, and what the batch says about a failure: the
// message ("" for an item without a rule); nullopt when it says nothing.
struct IssuedBatch : Issued<std::shared_ptr<XmlDocument>> {
  std::optional<std::string> error;
};

// The serial list ("<SN><R sn='...' />...</SN>") of the value document's
// `count` numbers; with `save`, the running number advances past them in the
// transaction that read it. Never throws: a failure is a list of `count`
// empty entries with its message, a running number outgrowing its digits an
// empty document with the message, and nothing is saved then. With
// IssueGuard::kRefuseLoss a list that could not be read back is refused
// (errc::kXmlInvalid in the notes) before anything is saved; without, its
// numbers are used up and the list is empty.
IssuedBatch IssueBatch(store::Connection& db, const std::shared_ptr<XmlDocument>& values, bool save,
                       const UserNameSource& user, IssueGuard guard = IssueGuard::kNone);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_BATCH_ISSUE_H_
