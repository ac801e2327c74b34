// Whole numbers read from JSON values.
#ifndef QUILLET_COMPONENT_JSON_INTEGER_H_
#define QUILLET_COMPONENT_JSON_INTEGER_H_

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>

namespace quillet::service {

// The value of a JSON integer, saturated to the 64-bit range (larger unsigned
// numbers give INT64_MAX, outside every parameter's range); nullopt for any
// other JSON value, floating-point numbers included.
inline std::optional<int64_t> JsonInteger(const nlohmann::json& value) {
  if (value.is_number_unsigned()) {
    const auto n = value.get<uint64_t>();
    constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    return n > kMax ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(n);
  }
  if (value.is_number_integer()) return value.get<int64_t>();
  return std::nullopt;
}

// Whether `n` lies in the range of the integer type T.
template <typename T>
bool FitsIn(int64_t n) {
  return n >= std::numeric_limits<T>::min() && n <= std::numeric_limits<T>::max();
}

}  // namespace quillet::service

#endif  // QUILLET_COMPONENT_JSON_INTEGER_H_
