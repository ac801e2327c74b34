// GetInvBatchRulesrv, GetmaxNumbersrv, SavemaxNumbersrv: an owner's rule and
// running number.
#include "core/field_text.h"
#include "maintenance/methods.h"
#include "store/maintenance_rules.h"
#include "store/write_pool.h"

namespace quillet::maintenance {
void GetInvBatchRulesrv(store::Connection& db, const std::string& Invccode, Variant& RsinvRule,
                        int16_t invtype) {
  const auto rule = store::maintenance::OwnerRuleWithSegments(db, RuleOwner{Invccode, invtype});
  RsinvRule = Variant(rule->Clone());
}

void GetmaxNumbersrv(store::Connection& db, const std::string& inumInvcode, Variant& vMaxnumber,
                     int16_t inumInvtype) {
  const auto number =
      store::maintenance::OwnerRunningNumber(db, RuleOwner{inumInvcode, inumInvtype});
  // The value as the database gives it, null included.
  vMaxnumber = number->Bof() && number->Eof() ? Variant("") : number->Field("cnumber");
}

void SavemaxNumbersrv(store::Connection& db, const std::string& Invccode,
                      const Variant& RstinvmaxNum, int16_t invtype) {
  const std::string number = FieldTextOrEmpty(RstinvmaxNum);
  auto writer = store::OpenWriteConnection(db);
  store::maintenance::SetRunningNumber(*writer, RuleOwner{Invccode, invtype}, number);
}

}  // namespace quillet::maintenance
