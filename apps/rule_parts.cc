#include "apps/rule_parts.h"

namespace quillet::apps {

RuleParts ReadParts(const XmlDocument& parts) {
  const XmlNode root = *parts.documentElement();
  const auto attribute = [&](const char* name) { return root.getAttribute(name).value_or(""); };
  return {attribute("前缀"), attribute("流水"),     attribute("后缀"),
          attribute("步长"), attribute("最大流水"), attribute("流水位数")};
}

}  // namespace quillet::apps
