// Graded codes: a department or inventory class code cut to a higher level.
#ifndef QUILLET_GENERATION_GRADED_CODE_H_
#define QUILLET_GENERATION_GRADED_CODE_H_

#include <functional>
#include <memory>
#include <string>

#include "quillet/recordset.h"
#include "store/connection.h"

namespace quillet::generation {

inline constexpr const char* kDepartmentKind = "department";
inline constexpr const char* kInventoryClassKind = "inventoryclass";

// The code cut to level `grade` by the coding rule of `kind`, or whole when
// `grade` is at or below the code's own level.
//   kind "department":     `code` is a department code, cut itself.
//   kind "inventoryclass": `code` is an item code; its class code is cut.
// Raises for an unknown item or department, an item without a class, a
// missing coding rule (read even when nothing is cut), a grade that is not a
// number, a coding rule too short or not digits where needed, a kind other
// than the two, and any database error.
std::string GetGradedCode(store::Connection& db, const std::string& code, const std::string& kind,
                          const std::string& grade);

// What GetGradedCode reads, asked when it gets there: the row of the code
// (cinvccode and iinvcgrade of an item's class, iDepGrade of a department)
// and the coding rule of the kind (CODINGRULE).
struct GradedCodeSources {
  std::function<std::shared_ptr<RecordSet>()> own_row;
  std::function<std::shared_ptr<RecordSet>()> coding_rule;
};

// GetGradedCode over rows read elsewhere; raises as it does.
std::string GradedCodeOf(const GradedCodeSources& sources, const std::string& code,
                         const std::string& kind, const std::string& grade);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_GRADED_CODE_H_
