// GetmaxGrade and GetGradeRulesrv: the coding grades of a level-coded archive.
#include "core/mod_language.h"
#include "mapping/setup_methods.h"
#include "store/setup_queries.h"

namespace quillet::setup {

// An unknown keyword gives no row: reading the field raises the record set's
// "no current record" and the output keeps its value.
void GetmaxGrade(store::Connection& db, int16_t& maxgrade, const std::string& tablname) {
  const auto rows = store::setup::GradeCountOf(db, tablname);
  rows->MoveFirst();
  maxgrade = rows->Field(0).ToInt16();
}

void GetGradeRulesrv(store::Connection& db, std::string& graderule, const std::string& tablname) {
  const auto rows = store::setup::CodingRuleOf(db, tablname);
  rows->MoveFirst();
  graderule = modLanguage::GetStrValue(rows->Field(0));
}

}  // namespace quillet::setup
