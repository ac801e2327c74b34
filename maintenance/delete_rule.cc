// DelSNRulesrv: removes an owner's header and the segments of a rule name.
#include "maintenance/methods.h"
#include "store/maintenance_rules.h"
#include "store/policy_queries.h"
#include "store/write_pool.h"

namespace quillet::maintenance {

void DelSNRulesrv(store::Connection& db, const std::string& sDelInvcode, int16_t IDelinvtype,
                  const std::string& sDelRulename) {
  // The header goes by owner, the segments by rule name; mapping rows stay.
  const RuleOwner owner{sDelInvcode, IDelinvtype};
  auto writer = store::OpenWriteConnection(db);
  store::Connection::Transaction transaction(*writer);
  store::maintenance::DeleteOwnerHeader(*writer, owner);
  store::maintenance::DeleteSegmentsNamed(*writer, sDelRulename);
  // The owner's policy and counters go with its header; the journal stays.
  if (store::policy::HasPolicyTables(*writer)) {
    store::policy::DeletePolicy(*writer, owner.code, owner.TypeText());
  }
  transaction.Commit();
}

}  // namespace quillet::maintenance
