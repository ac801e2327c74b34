// The mappings of one data source, after the missing ones are made: all of
// them, or a page searched and counted by the database (what a person scrolls
// through, where an archive may hold 100,000 values).
#ifndef QUILLET_MAPPING_MAPPING_LIST_H_
#define QUILLET_MAPPING_MAPPING_LIST_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quillet/recordset.h"
#include "quillet/variant.h"
#include "store/connection.h"

namespace quillet::mapping {

// Every mapping of a data source, with the settings the rules give it.
struct MappingList {
  // Why there is no list: the message that no rule uses the data source.
  std::optional<std::string> unused;
  int32_t width = 0;                // the width the rules give the data source
  std::string format;               // the format they give it
  std::shared_ptr<RecordSet> rows;  // the mapping rows with their archive captions
};

// The mappings of the data source that the prefix key document `prefix_key`
// (a document reference whose root is one data source row) names, after
// making the missing ones: only an archive that a data source row describes
// for the key's code is read. A shared archive table (kind "3") lists only
// its own source's rows. Raises as LoadDocumentFrom, RootOf and
// RequiredAttribute do, errc::kUnsafeIdentifier for an archive no data
// source describes, and the database's errors. Thread safety: that of the
// connection.
MappingList ListMappings(store::Connection& db, const Variant& prefix_key);

struct MappingRow {
  std::string value;    // the archive value (cseedcode)
  std::string caption;  // its caption in the archive; "" without an archive row
  std::string code;     // what serial numbers show for it
  bool set_by_user = false;
};

struct MappingPage {
  // Why there is no page: the message that no rule uses the data source.
  std::optional<std::string> unused;
  int32_t width = 0;             // the width the rules give the data source
  std::string format;            // the format they give it
  int64_t total = 0;             // the rows the search finds in all
  std::vector<MappingRow> rows;  // the page, ordered by value
};

// As ListMappings with the same prefix key document (the missing mappings
// are made first, with the same checks and errors), but only the data
// source's rows whose value, caption or code holds `search` (ASCII letters
// in any case; all when empty), from row `offset`, at most `limit`. Raises
// as ListMappings does. Thread safety: that of the connection.
MappingPage ListMappingPage(store::Connection& db, const Variant& prefix_key,
                            const std::string& search, int64_t offset, int64_t limit);

}  // namespace quillet::mapping

#endif  // QUILLET_MAPPING_MAPPING_LIST_H_
