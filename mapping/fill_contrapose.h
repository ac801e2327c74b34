// FillContrapose: creates the mapping rows still missing for one data source.
#ifndef QUILLET_MAPPING_FILL_CONTRAPOSE_H_
#define QUILLET_MAPPING_FILL_CONTRAPOSE_H_

#include <cstdint>
#include <string>

#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::mapping {

// For every value of the data source's archive that has no mapping row for
// the archive table yet, inserts a generated row (buserchange '0') whose code
// is the value fitted to `width` with `pad_sign` (PatchValue), and `width` as
// isize. `source` is a prefix key document: its root element's attributes
// cdatasrccode, iContentType, cContent and cArchFieldName.
//
// Sends one query and, when values are missing, their inserts as one
// transaction, both on a write connection opened from `db`: a failure leaves
// no new row. Fills of one archive may run at the same moment: each value
// gets one row. Raises errc::kObjectNotSet for an empty document,
// errc::kInvalidUseOfNull for a missing attribute, errc::kUnsafeIdentifier
// for a table or column name that is not a plain identifier (before anything
// is sent), and the database's errors. Thread safety: that of `db`.
void FillContrapose(store::Connection& db, const XmlDocument& source, int32_t width,
                    const std::string& pad_sign);

}  // namespace quillet::mapping

#endif  // QUILLET_MAPPING_FILL_CONTRAPOSE_H_
