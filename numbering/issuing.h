// Issuing and previewing serial numbers through the typed interface, each
// answer saying which rule it came from and, without a number, why.
#ifndef QUILLET_NUMBERING_ISSUING_H_
#define QUILLET_NUMBERING_ISSUING_H_

#include <string>

#include "numbering/session.h"
#include "quillet/numbering.h"

namespace quillet::numbering {

// Numbering::Issue, IssueForDocumentLine, Preview and ResolveRule.
IssueResult Issue(Session& session, const IssueRequest& request);
IssueResult IssueForDocumentLine(Session& session, const DocumentLineRequest& request);
PreviewResult Preview(Session& session, const Line& line);
RuleResolution Resolve(Session& session, const std::string& item);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_ISSUING_H_
