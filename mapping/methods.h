// Prefix mapping methods of clsQuillet: list, edit and reset mapping rows.
#ifndef QUILLET_MAPPING_METHODS_H_
#define QUILLET_MAPPING_METHODS_H_

#include <cstdint>
#include <string>

#include "quillet/variant.h"
#include "store/connection.h"

namespace quillet::mapping {

void Getprefixrssrv(store::Connection& db, const Variant& DomPrefixkey, int32_t& maxlength,
                    Variant& RsPrefix, std::string& datasrcformat, std::string& sErr);
void saveprefixcodesrv(store::Connection& db, const Variant& Domprefixcode);
void Resetprefixsrv(store::Connection& db, const std::string& strcontent);

}  // namespace quillet::mapping

#endif  // QUILLET_MAPPING_METHODS_H_
