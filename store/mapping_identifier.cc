#include "store/mapping_identifier.h"

#include "quillet/error.h"

namespace quillet::store {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool IsPlainIdentifier(std::string_view name) {
  if (name.empty() || IsAsciiDigit(name.front())) return false;
  for (const char c : name) {
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '_') return false;
  }
  return true;
}

const std::string& PlainIdentifier(const std::string& name, std::string_view role) {
  if (!IsPlainIdentifier(name)) {
    throw Error(errc::kUnsafeIdentifier,
                "The " + std::string(role) + " name '" + name +
                    "' is not a plain identifier (letters, digits and underscores, not starting "
                    "with a digit)");
  }
  return name;
}

}  // namespace quillet::store
