// GetSourceFormat: the settings the rules give one data source type.
#ifndef QUILLET_MAPPING_SOURCE_FORMAT_H_
#define QUILLET_MAPPING_SOURCE_FORMAT_H_

#include <cstdint>
#include <string>

#include "store/connection.h"

namespace quillet::mapping {

// Looks up one segment of the data source type `source_code`, of whatever
// rule the database returns first (rule saving keeps these settings equal
// across the segments of a mapped type). Found: sets `width` (iformatlength),
// `format` (cdatasrcformat, empty text when null) and `pad_sign` (cpatchsign,
// "0" when null) and returns true. Not found: returns false and leaves them.
// Raises the database's errors, and the conversion's error when the width is
// null or not a whole 32-bit number. Thread safety: that of `db`.
bool GetSourceFormat(store::Connection& db, const std::string& source_code, int32_t& width,
                     std::string& format, std::string& pad_sign);

}  // namespace quillet::mapping

#endif  // QUILLET_MAPPING_SOURCE_FORMAT_H_
