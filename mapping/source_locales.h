// The locales the data sources are described in: captions, archives and the
// mappings' sources are found only in one of these.
#ifndef QUILLET_MAPPING_SOURCE_LOCALES_H_
#define QUILLET_MAPPING_SOURCE_LOCALES_H_

#include <string>
#include <vector>

#include "generation/reader.h"

namespace quillet::mapping {

// The locale ids of the data source rows, in ascending order; empty when
// the database describes none. Raises the database's error. Thread safety:
// that of the reader.
std::vector<std::string> DataSourceLocales(generation::Reader& reader);

}  // namespace quillet::mapping

#endif  // QUILLET_MAPPING_SOURCE_LOCALES_H_
