// What a rule-setup screen reads through the typed interface: classes,
// items, data sources, free items' captions, locales, and the journal.
#ifndef QUILLET_NUMBERING_SETUP_LOOKUPS_H_
#define QUILLET_NUMBERING_SETUP_LOOKUPS_H_

#include <string>
#include <vector>

#include "numbering/session.h"
#include "quillet/numbering.h"

namespace quillet::numbering {

std::vector<Item> SerialItems(Session& session, const std::string& class_code);
std::vector<FreeItemCaption> FreeItemCaptions(Session& session);
std::vector<std::string> DescribedLocales(Session& session);
std::vector<JournalEntry> Journal(Session& session, const JournalQuery& query);

}  // namespace quillet::numbering

#endif  // QUILLET_NUMBERING_SETUP_LOOKUPS_H_
