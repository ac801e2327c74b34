// A page of a data source's mappings, searched and counted by the database:
// what a person scrolls through, where an archive may hold 100,000 values.
#ifndef QUILLET_MAPPING_MAPPING_PAGE_H_
#define QUILLET_MAPPING_MAPPING_PAGE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "quillet/variant.h"
#include "store/connection.h"

namespace quillet::mapping {

struct MappingRow {
  std::string value;    // the archive value (cseedcode)
  std::string caption;  // its caption in the archive; "" without an archive row
  std::string code;     // what serial numbers show for it
  bool set_by_user = false;
};

struct MappingPage {
  std::string unused;            // why there is no page: no rule uses the data source; "" otherwise
  int32_t width = 0;             // the width the rules give the data source
  std::string format;            // the format they give it
  int64_t total = 0;             // the rows the search finds in all
  std::vector<MappingRow> rows;  // the page, ordered by value
};

// As Getprefixrssrv with the same prefix key document (the missing mappings
// are made first, with the same checks and errors), but only the data
// source's rows whose value, caption or code holds `search` (ASCII letters
// in any case; all when empty), from row `offset`, at most `limit`. Raises
// Error as Getprefixrssrv does. Thread safety: that of the connection.
MappingPage ListMappingPage(store::Connection& db, const Variant& prefix_key,
                            const std::string& search, int64_t offset, int64_t limit);

}  // namespace quillet::mapping

#endif  // QUILLET_MAPPING_MAPPING_PAGE_H_
