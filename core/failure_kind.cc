#include "quillet/failure.h"

namespace quillet {

std::string_view FailureKindName(FailureKind kind) {
  switch (kind) {
    case FailureKind::kInvalidRequest:
      return "invalid_request";
    case FailureKind::kNotFound:
      return "not_found";
    case FailureKind::kConflict:
      return "conflict";
    case FailureKind::kGuarded:
      return "guarded";
    case FailureKind::kDatabase:
      return "database";
    case FailureKind::kUnavailable:
      return "unavailable";
  }
  return "database";
}

}  // namespace quillet
