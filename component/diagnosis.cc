// ExplainEmptyIssue for the object's last issue, on its own connection.
#include "quillet/diagnosis.h"

#include "generation/empty_issue.h"

namespace quillet {

class DiagnosisAccess {
 public:
  static store::Connection& Connection(clsQuillet& object) { return object.ServiceConnection(); }
};

EmptyIssueReason ExplainEmptyIssue(clsQuillet& object, const XmlDocument& values, bool saving,
                                   const ValueRequest& ask_value) {
  return generation::ExplainEmptyIssue(DiagnosisAccess::Connection(object), values, saving,
                                       object.LastIssueNotes().refusal, ask_value);
}

}  // namespace quillet
