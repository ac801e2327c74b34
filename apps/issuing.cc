#include "apps/issuing.h"

#include <memory>

#include "apps/issue_diagnosis.h"
#include "apps/tool_error.h"

namespace quillet::apps {
namespace {

std::vector<std::string> IssueOne(DomainSession& session, const LineValues& line, bool save) {
  std::string cinvcode;
  std::string ignored;
  std::shared_ptr<XmlDocument> values = ValueDocument(line, std::nullopt);
  const std::string serial = session.component().getSNumber(cinvcode, values, ignored, save);
  if (serial.empty()) return {};
  return {serial};
}

std::vector<std::string> IssueBatch(DomainSession& session, const LineValues& line, int count,
                                    bool save) {
  std::string cinvcode;
  std::string message;
  std::shared_ptr<XmlDocument> values = ValueDocument(line, count);
  const std::shared_ptr<XmlDocument> list =
      session.component().getSNbatch(cinvcode, values, message, save);
  if (list->empty() && !message.empty()) throw ToolFailure(message);
  std::vector<std::string> serials;
  for (const XmlNode& entry : list->selectNodes("/SN/R")) {
    const std::string serial = entry.getAttribute("sn").value_or("");
    // The fallback list holds empty entries: the rule gave nothing.
    if (serial.empty()) return {};
    serials.push_back(serial);
  }
  return serials;
}

}  // namespace

std::vector<std::string> IssueSerialNumbers(DomainSession& session, const LineValues& line,
                                            std::optional<int> count, bool save) {
  std::vector<std::string> serials =
      count ? IssueBatch(session, line, *count, save) : IssueOne(session, line, save);
  if (serials.empty()) {
    ExplainNoSerialNumber(session, line, save);
  }
  return serials;
}

}  // namespace quillet::apps
