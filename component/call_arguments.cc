#include "component/call_arguments.h"

#include <string>

#include "quillet/error.h"

namespace quillet::service {
Slot EmptySlot(Kind kind) {
  switch (kind) {
    case Kind::kText:
      return std::string();
    case Kind::kInt16:
      return int16_t{0};
    case Kind::kInt32:
      return int32_t{0};
    case Kind::kBoolean:
      return false;
    case Kind::kDocument:
      return std::shared_ptr<XmlDocument>();
    case Kind::kLogin:
      return std::shared_ptr<Login>();
    case Kind::kVariant:
      break;
  }
  return Variant();
}

}  // namespace quillet::service
