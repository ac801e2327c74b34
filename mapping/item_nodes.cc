// GetInvNodesrv and GetNumbertreesrv: items of a class, rule headers.
#include "mapping/setup_methods.h"
#include "store/setup_queries.h"

namespace quillet::setup {

void GetInvNodesrv(store::Connection& db, const std::string& invclasscode, Variant& Rsinv) {
  Rsinv = Variant(store::setup::SerialItemsOfClass(db, invclasscode)->Clone());
}

void GetNumbertreesrv(store::Connection& db, Variant& Rsbatchrule) {
  Rsbatchrule = Variant(store::setup::AllRuleHeaders(db)->Clone());
}

}  // namespace quillet::setup
