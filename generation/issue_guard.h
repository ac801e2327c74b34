// Guards an issue takes when its caller asks for them: refusing, before the
// running number advances, a result that would be lost to the caller. The
// old class's methods never ask, and answer as they always did.
#ifndef QUILLET_GENERATION_ISSUE_GUARD_H_
#define QUILLET_GENERATION_ISSUE_GUARD_H_

#include <cstdint>
#include <string>

namespace quillet::generation {

// Whether an issue refuses what would be lost: a running number with more
// digits than its segment shows (its serial number would repeat one issued
// before) and a batch whose list cannot be read back (its numbers would be
// used up and none handed out).
enum class IssueGuard { kNone, kRefuseLoss };

// Raises PolicyRefusal (errc::kWouldWrap) when `number` has more digits than
// `width` shows.
void RefuseWrap(int32_t number, const std::string& width);

// Raises PolicyRefusal (errc::kXmlInvalid) when `list`, a batch's serial
// list, is not a well-formed document.
void RefuseUnreadableList(const std::string& list);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_ISSUE_GUARD_H_
