// Rule maintenance methods of clsQuillet: save, delete, lookup, running numbers.
#ifndef QUILLET_MAINTENANCE_METHODS_H_
#define QUILLET_MAINTENANCE_METHODS_H_

#include <cstdint>
#include <memory>
#include <string>

#include "quillet/variant.h"
#include "quillet/xml_document.h"
#include "store/connection.h"

namespace quillet::maintenance {

void SaveSNRulesrv(store::Connection& db, const std::shared_ptr<XmlDocument>& DombatchRule,
                   const std::string& SsaveInvcode, int16_t Isaveinvtype,
                   const std::string& SsaveRulename, std::string& sErr);
void DelSNRulesrv(store::Connection& db, const std::string& sDelInvcode, int16_t IDelinvtype,
                  const std::string& sDelRulename);
void GetInvBatchRulesrv(store::Connection& db, const std::string& Invccode, Variant& RsinvRule,
                        int16_t invtype);
void GetmaxNumbersrv(store::Connection& db, const std::string& inumInvcode, Variant& vMaxnumber,
                     int16_t inumInvtype);
void SavemaxNumbersrv(store::Connection& db, const std::string& Invccode,
                      const Variant& RstinvmaxNum, int16_t invtype);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_METHODS_H_
