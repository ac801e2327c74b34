// The mappings of a data source as the tool reads and edits them through
// the component.
#ifndef QUILLET_APPS_MAPPING_STORE_H_
#define QUILLET_APPS_MAPPING_STORE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "apps/catalog.h"
#include "apps/domain_session.h"

namespace quillet::apps {

struct Mapping {
  std::string value;  // the archive value
  std::string name;   // its caption in the archive
  std::string code;   // what serial numbers show for it
  bool set_by_user = false;
};

struct MappingList {
  DataSourceRow source;
  int32_t width = 0;   // the width the rules give the source
  std::string format;  // the format they give it
  std::vector<Mapping> mappings;
};

// The data source type of a name that has mappings. Raises ToolUsage.
int MappedSourceType(const std::string& name);

// The source's row in the session's locale. Raises ToolFailure without one.
DataSourceRow RequireDataSource(DomainSession& session, int type);

// The source's mappings (Getprefixrssrv), after the component has created the
// missing ones, ordered by value. Raises ToolFailure when no rule uses the
// source.
MappingList ListMappings(DomainSession& session, int type);

// One page of the source's mappings whose value, caption or code holds
// `search` (ASCII letters in any case; all when empty), ordered by value,
// and how many the search finds in all (`total`). Missing mappings are made
// first, as ListMappings does. Raises ToolFailure as ListMappings does.
struct MappingPage {
  MappingList list;  // the page's mappings in `list.mappings`
  int64_t total = 0;
};
MappingPage ListMappingPage(DomainSession& session, int type, const std::string& search,
                            int64_t offset, int64_t limit);

// What setting a code did.
struct MappingChange {
  Mapping before;                      // the mapping as it was
  std::vector<std::string> same_code;  // the other values written with the code
};

// Writes `value` of the source as `code` (saveprefixcodesrv). Raises
// ToolFailure, writing nothing, when the source has no such value, and with
// `within_width` when the code is wider than the width the rules give the
// source (a mapped code is written whole).
MappingChange SetMappingCode(DomainSession& session, int type, const std::string& value,
                             const std::string& code, bool within_width = false);

}  // namespace quillet::apps

#endif  // QUILLET_APPS_MAPPING_STORE_H_
