// The words of owners: `item:CODE`, `class:CODE` and `all`.
#include "core/ascii_case.h"
#include "quillet/failure.h"
#include "quillet/owner.h"

namespace quillet {
namespace {

[[noreturn]] void RaiseNotAnOwner(std::string_view word, std::string_view why) {
  throw Failure(
      FailureKind::kInvalidRequest, errc::kBadOwner,
      "'" + std::string(word) + "' " + std::string(why) + ": write item:CODE, class:CODE or all");
}

}  // namespace

RuleOwner ParseOwner(std::string_view word) {
  if (service::EqualsIgnoringAsciiCase(word, "all")) return RuleOwner::All();
  const std::size_t colon = word.find(':');
  if (colon == std::string_view::npos) RaiseNotAnOwner(word, "is not an owner");
  const std::string_view kind = word.substr(0, colon);
  const std::string_view code = word.substr(colon + 1);
  OwnerKind type = OwnerKind::kClass;
  if (service::EqualsIgnoringAsciiCase(kind, "item")) {
    type = OwnerKind::kItem;
  } else if (service::EqualsIgnoringAsciiCase(kind, "class")) {
    type = OwnerKind::kClass;
  } else {
    RaiseNotAnOwner(word, "names no kind of owner");
  }
  if (code.empty()) RaiseNotAnOwner(word, "has no code after ':'");
  return {std::string(code), type};
}

std::string FormatOwner(const RuleOwner& owner) {
  switch (owner.kind) {
    case OwnerKind::kAll:
      return owner.code == "all" ? "all" : "all:" + owner.code;
    case OwnerKind::kItem:
      return "item:" + owner.code;
    case OwnerKind::kClass:
      return "class:" + owner.code;
    default:
      return std::to_string(owner.KindNumber()) + ":" + owner.code;
  }
}

}  // namespace quillet
