// The rule-setup screen's read-only queries.
#ifndef QUILLET_MAPPING_SETUP_METHODS_H_
#define QUILLET_MAPPING_SETUP_METHODS_H_

#include <cstdint>
#include <string>

#include "quillet/variant.h"
#include "store/connection.h"

namespace quillet::setup {

void Getinitdata(store::Connection& db, Variant& rssetupTree, Variant& RstPrefix,
                 Variant& Rstfreename);
void GetInvNodesrv(store::Connection& db, const std::string& invclasscode, Variant& Rsinv);
void GetNumbertreesrv(store::Connection& db, Variant& Rsbatchrule);
void GetmaxGrade(store::Connection& db, int16_t& maxgrade, const std::string& tablname);
void GetGradeRulesrv(store::Connection& db, std::string& graderule, const std::string& tablname);

}  // namespace quillet::setup

#endif  // QUILLET_MAPPING_SETUP_METHODS_H_
