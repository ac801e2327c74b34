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

LevelledCode CodeWithLevel(const GradedCodeSources& sources, const std::string& code,
                           const std::string& kind) {
  if (kind == kInventoryClassKind) {
    const auto item_class = sources.own_row();
    const int16_t level = item_class->Field("iinvcgrade").ToInt16();
    return {item_class->Field("cinvccode").ToText(), level};
  }
  if (kind == kDepartmentKind) {
    return {code, sources.own_row()->Field("iDepGrade").ToInt16()};
  }
  throw Error::InvalidArgument();
}

}  // namespace

std::string GetGradedCode(store::Connection& db, const std::string& code, const std::string& kind,
                          const std::string& grade) {
  GradedCodeSources sources;
  sources.own_row = [&] {
    return kind == kInventoryClassKind ? store::generation::ItemClass(db, code)
                                       : store::generation::DepartmentGrade(db, code);
  };
  sources.coding_rule = [&] { return store::generation::CodingRule(db, kind); };
  return GradedCodeOf(sources, code, kind, grade);
}

std::string GradedCodeOf(const GradedCodeSources& sources, const std::string& code,
                         const std::string& kind, const std::string& grade) {
  const LevelledCode own = CodeWithLevel(sources, code, kind);
  const std::string coding_rule = sources.coding_rule()->Field("CODINGRULE").ToText();
  const Variant wanted(grade);
  if (wanted.ToDouble() >= own.level) return own.code;
  return FirstCharacters(own.code, LevelCodeLength(coding_rule, wanted.ToInt16()));
}

}  // namespace quillet::generation
