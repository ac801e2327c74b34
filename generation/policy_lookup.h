// Look-ups of the numbering policies for people: an owner's policy and the
// journal of the serial numbers issued under one.
#ifndef QUILLET_GENERATION_POLICY_LOOKUP_H_
#define QUILLET_GENERATION_POLICY_LOOKUP_H_

#include <optional>
#include <string>
#include <vector>

#include "generation/reader.h"
#include "generation/rule_owner.h"
#include "quillet/error.h"
#include "quillet/numbering_policy.h"
#include "store/policy_queries.h"

namespace quillet::generation {

// One issued serial number, as the journal records it.
using JournalEntry = store::policy::JournalEntry;

// The policy of the owner's rule; nullopt when it has none, and when the
// database has no policy tables. Raises errc::kTypeMismatch for a stored row
// that is not a policy, and the database's error. Thread safety: that of the
// reader.
std::optional<NumberingPolicy> OwnerPolicy(Reader& reader, const RuleOwner& owner);

// The journal, oldest first: of `owner` only when given, issued at or after
// `since` (UTC, compared as text) when given. Raises the database's error: a
// database without a journal raises the error IsMissingTable recognises.
// Thread safety: that of the reader.
std::vector<JournalEntry> ReadJournal(Reader& reader, const std::optional<RuleOwner>& owner,
                                      const std::optional<std::string>& since);

// The first record of `serial` in the journal; nullopt when it holds none.
// Raises as ReadJournal does. Thread safety: that of the reader.
std::optional<JournalEntry> FirstIssue(Reader& reader, const std::string& serial);

// Whether `error` is a database's answer to a statement on a table it does
// not have.
bool IsMissingTable(const Error& error);

}  // namespace quillet::generation

#endif  // QUILLET_GENERATION_POLICY_LOOKUP_H_
