// The code that stands for an archive value in serial numbers.
#ifndef QUILLET_GENERATION_MAPPED_CODE_H_
#define QUILLET_GENERATION_MAPPED_CODE_H_

#include <string>

#include "store/connection.h"

namespace quillet::generation {

// The code of `value` in the mappings of data source type `data_type`; the
// empty text when there is no mapping or its code is null. Raises the
// database's errors.
std::string MappedCode(store::Connection& db, const std::string& data_type,
                       const std::string& value);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_MAPPED_CODE_H_
