#include "generation/issue_guard.h"

#include "core/text_functions.h"
#include "generation/policy_refusal.h"
#include "quillet/variant.h"
#include "quillet/xml_document.h"

namespace quillet::generation {

void RefuseWrap(int32_t number, const std::string& width) {
  const int16_t digits = Variant(width).ToInt16();
  if (GetByteLen(std::to_string(number)) <= digits) return;
  throw PolicyRefusal(errc::kWouldWrap,
                      "the running number " + std::to_string(number) + " has more than the " +
                          std::to_string(digits) +
                          " digits its segment shows: its serial number would repeat one "
                          "issued before; nothing was used up (widen the segment or set the "
                          "running number)");
}

void RefuseUnreadableList(const std::string& list) {
  XmlDocument document;
  if (document.loadXML(list)) return;
  throw PolicyRefusal(errc::kXmlInvalid,
                      "the rule's text holds & < or ', which a batch's list of serial numbers "
                      "cannot carry: nothing was used up (issue them one at a time, or change "
                      "the rule's text)");
}

}  // namespace quillet::generation
