// The value-to-code mappings through the typed interface.
#ifndef QUILLET_NUMBERING_MAPPINGS_H_
#define QUILLET_NUMBERING_MAPPINGS_H_

#include <string>

#include "numbering/session.h"
#include "quillet/numbering.h"

namespace quillet::numbering {

// Numbering::Mappings, SetMappingCode and ResetMappings.
MappingPage Mappings(Session& session, DataSource source, const MappingQuery& query);
MappingChange SetMappingCode(Session& session, const SetMappingCodeRequest& request);
std::string ResetMappings(Session& session, DataSource source);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_MAPPINGS_H_
