// The running numbers a journal-keeping rule's sequence skipped: never
// issued, or issued and voided, each with the reason the records give.
#ifndef QUILLET_MAINTENANCE_JOURNAL_GAPS_H_
#define QUILLET_MAINTENANCE_JOURNAL_GAPS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "generation/reader.h"
#include "quillet/owner.h"

namespace quillet::maintenance {

// Why a number is missing from the sequence.
namespace gap {
inline constexpr const char* kVoided = "voided";
inline constexpr const char* kSetForward = "set_forward";  // a running number set past it
inline constexpr const char* kFailedSave = "failed_save";  // used up, but no issue recorded
}  // namespace gap

struct GapRow {
  std::string key;  // the counter: "" for the rule's own number, else its stored key
  int32_t number = 0;
  std::string reason;  // one of gap::
  std::string detail;  // who and when, and a void's reason
};

// The gaps of the owner's rule, counter by counter (by key) and number by
// number. A counter's sequence runs from its first number in the journal
// (issued at or after `since` when given) up to the number before its next
// one, in the rule's steps; the counter of a period begins at the rule's
// start unless `since` is given. Returns nullopt when the rule keeps no
// journal or has no running number. Raises the database's errors.
std::optional<std::vector<GapRow>> JournalGaps(generation::Reader& reader, const RuleOwner& owner,
                                               const std::optional<std::string>& since);

}  // namespace quillet::maintenance

#endif  // QUILLET_MAINTENANCE_JOURNAL_GAPS_H_
