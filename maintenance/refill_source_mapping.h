// RefillSourceMapping: rebuilds the generated mapping rows of one data source
// type after a rule save.
#ifndef QUILLET_MAINTENANCE_REFILL_SOURCE_MAPPING_H_
#define QUILLET_MAINTENANCE_REFILL_SOURCE_MAPPING_H_

#include <cstdint>
#include <string>

#include "store/connection.h"

namespace quillet::maintenance {

// Reads the data source row of `source_type` in the thread's locale on `db`,
// passes it through the record set XML persistence format as a prefix key
// document, and has FillContrapose create the missing mapping rows with
// `width` and `pad_sign`. Raises errc::kObjectNotSet when the locale has no
// row for the type, and whatever FillContrapose raises. Thread safety: that
// of `db`.
void RefillSourceMapping(store::Connection& db, int16_t source_type, int32_t width,
                         const std::string& pad_sign);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_REFILL_SOURCE_MAPPING_H_
