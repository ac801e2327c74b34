#include "apps/issue_diagnosis.h"

#include <memory>
#include <optional>
#include <string>

#include "apps/tool_error.h"
#include "quillet/diagnosis.h"

namespace quillet::apps {

void ExplainNoSerialNumber(DomainSession& session, const LineValues& line, bool saving) {
  const std::shared_ptr<XmlDocument> values = ValueDocument(line, std::nullopt);
  const EmptyIssueReason reason = ExplainEmptyIssue(
      session.component(), *values, saving,
      [](const std::string& source, int) { return "add --set " + source + "=VALUE"; });
  throw ToolFailure(reason.text, reason.number);
}

}  // namespace quillet::apps
