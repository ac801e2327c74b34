#include "generation/graded_code.h"

#include <cstdint>

#include "core/runtime_errors.h"
#include "generation/level_code.h"
#include "quillet/variant.h"
#include "store/rule_queries.h"

namespace quillet::generation {
namespace {

struct LevelledCode {
  std::string code;
  int16_t level = 0;
};

LevelledCode CodeWithLevel(store::Connection& db, const std::string& code,
                           const std::string& kind) {
  if (kind == kInventoryClassKind) {
    const auto item_class = store::generation::ItemClass(db, code);
    const int16_t level = item_class->Field("iinvcgrade").ToInt16();
    return {item_class->Field("cinvccode").ToText(), level};
  }
  if (kind == kDepartmentKind) {
    return {code, store::generation::DepartmentGrade(db, code)->Field("iDepGrade").ToInt16()};
  }
  throw Error::InvalidArgument();
}

}  // namespace

std::string GetGradedCode(store::Connection& db, const std::string& code, const std::string& kind,
                          const std::string& grade) {
  const LevelledCode own = CodeWithLevel(db, code, kind);
  const std::string coding_rule =
      store::generation::CodingRule(db, kind)->Field("CODINGRULE").ToText();
  const Variant wanted(grade);
  if (wanted.ToDouble() >= own.level) return own.code;
  return FirstCharacters(own.code, LevelCodeLength(coding_rule, wanted.ToInt16()));
}

}  // namespace quillet::generation
