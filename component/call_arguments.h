// The argument values of one call by name, one slot per parameter.
#ifndef QUILLET_COMPONENT_CALL_ARGUMENTS_H_
#define QUILLET_COMPONENT_CALL_ARGUMENTS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "component/method_table.h"
#include "quillet/login.h"
#include "quillet/quillet.h"
#include "quillet/variant.h"
#include "quillet/xml_document.h"

namespace quillet::service {

// One parameter's value, held in the C++ type of its kind; in/out
// parameters are passed to the method by reference to their slot.
using Slot = std::variant<std::string, int16_t, int32_t, bool, std::shared_ptr<XmlDocument>,
                          std::shared_ptr<Login>, Variant>;

// The empty value of a kind: "", 0, false, an empty reference, an empty variant.
Slot EmptySlot(Kind kind);

// The slots of one call, in parameter order. The accessors throw
// std::bad_variant_access when the slot holds another kind.
class CallArguments {
 public:
  explicit CallArguments(std::vector<Slot> slots) : slots_(std::move(slots)) {}

  std::string& Text(std::size_t i) { return std::get<std::string>(slots_[i]); }
  int16_t& Int16(std::size_t i) { return std::get<int16_t>(slots_[i]); }
  int32_t& Int32(std::size_t i) { return std::get<int32_t>(slots_[i]); }
  bool Boolean(std::size_t i) const { return std::get<bool>(slots_[i]); }
  std::shared_ptr<XmlDocument>& Document(std::size_t i) {
    return std::get<std::shared_ptr<XmlDocument>>(slots_[i]);
  }
  std::shared_ptr<Login>& LoginRef(std::size_t i) {
    return std::get<std::shared_ptr<Login>>(slots_[i]);
  }
  Variant& Var(std::size_t i) { return std::get<Variant>(slots_[i]); }

  const std::vector<Slot>& slots() const { return slots_; }

 private:
  std::vector<Slot> slots_;
};

}  // namespace quillet::service

#endif  // QUILLET_COMPONENT_CALL_ARGUMENTS_H_
