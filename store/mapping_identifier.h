// Table and column names read from data source rows, checked before they
// become part of a statement's text.
#ifndef QUILLET_STORE_MAPPING_IDENTIFIER_H_
#define QUILLET_STORE_MAPPING_IDENTIFIER_H_

#include <string>
#include <string_view>

namespace quillet::store {

// True for a plain identifier: ASCII letters, digits and underscores, not
// empty and not starting with a digit.
bool IsPlainIdentifier(std::string_view name);

// Returns `name` when it is a plain identifier; otherwise raises
// Error(errc::kUnsafeIdentifier) naming what it is (`role`, e.g. "archive
// table") and the offending text. Thread-safe.
const std::string& PlainIdentifier(const std::string& name, std::string_view role);

}  // namespace quillet::store

#endif  // QUILLET_STORE_MAPPING_IDENTIFIER_H_
