// Rule files through the typed interface: the export, and the import with
// its file checked, its difference told, and its plan applied.
#ifndef QUILLET_NUMBERING_RULE_FILES_H_
#define QUILLET_NUMBERING_RULE_FILES_H_

#include <string>

#include "numbering/session.h"
#include "quillet/numbering.h"

namespace quillet::numbering {

std::string ExportRules(Session& session, const ExportRequest& request);

ImportResult ImportRules(Session& session, const ImportRequest& request);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_RULE_FILES_H_
