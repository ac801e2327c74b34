#include "generation/policy_lookup.h"

#include "store/database_error.h"

namespace quillet::generation {

std::optional<NumberingPolicy> OwnerPolicy(Reader& reader, const RuleOwner& owner) {
  return store::policy::OwnerPolicy(reader.connection(), owner.code, owner.KindText());
}

std::vector<JournalEntry> ReadJournal(Reader& reader, const std::optional<RuleOwner>& owner,
                                      const std::optional<std::string>& since) {
  return store::policy::ReadJournal(
      reader.connection(), owner ? std::optional<std::string>(owner->code) : std::nullopt,
      owner ? std::optional<std::string>(owner->KindText()) : std::nullopt, since);
}

std::optional<JournalEntry> FirstIssue(Reader& reader, const std::string& serial) {
  std::vector<JournalEntry> found = store::policy::IssuedBefore(reader.connection(), {serial});
  if (found.empty()) return std::nullopt;
  return std::move(found.front());
}

bool IsMissingTable(const Error& error) { return store::IsMissingTable(error); }

}  // namespace quillet::generation
