// The rule parts document getSNrule answers, read into named fields.
#ifndef QUILLET_APPS_RULE_PARTS_H_
#define QUILLET_APPS_RULE_PARTS_H_

#include <string>

#include "quillet/xml_document.h"

namespace quillet::apps {

// The attributes of the rule parts document, as text.
struct RuleParts {
  std::string prefix;
  std::string running;  // the running number in its digits
  std::string suffix;
  std::string step;
  std::string stored;  // the stored running number
  std::string digits;  // "" when the rule has no running number
};

// The parts of a document that is not empty; a missing attribute reads "".
RuleParts ReadParts(const XmlDocument& parts);

}  // namespace quillet::apps

#endif  // QUILLET_APPS_RULE_PARTS_H_
